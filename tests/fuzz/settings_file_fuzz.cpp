// A settings file of any length and content: loaded, listed as telvorctl
// show lists it, and the listing parsed back.
#include "answer_text.h"
#include "fuzz_check.h"

#include "image/settings_file.h"
#include "image/settings_parser.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

using namespace telvor;

namespace {

// The version that carries every value of every key, as show uses it.
constexpr int kFullVersion = 0x36;

// An in-memory file, reached by a path like any settings file.
int memoryFile()
{
    static const int descriptor = ::memfd_create("settings", MFD_CLOEXEC);
    return descriptor;
}

void storeFile(const std::uint8_t* data, std::size_t size)
{
    const int descriptor = memoryFile();
    fuzzCheck(::ftruncate(descriptor, 0) == 0, "memory file emptied");
    std::size_t written = 0;
    while (written < size) {
        const ssize_t count = ::pwrite(descriptor, data + written, size - written, static_cast<off_t>(written));
        fuzzCheck(count > 0, "memory file written");
        written += static_cast<std::size_t>(count);
    }
}

// A text field holding a CR (the balance check code's characters 7 and 8
// included) lets the listing of that field end early, and what follows the
// CR is read as further keys.
bool textsHoldNoCarriageReturn(const SettingsImage& image)
{
    if (image.u8(kBalanceCodeSeventh) == '\r' || image.u8(kBalanceCodeEighth) == '\r')
        return false;
    for (const AnswerKey& key : kAnswerKeys)
        for (int value = 0; value < key.count; ++value) {
            const Slot target = valueSlot(key, value);
            if (target.encoding == Encoding::Text && image.text(target).find('\r') != std::string::npos)
                return false;
        }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto parsed = parsedBytes();
    storeFile(data, size);
    SettingsImage loaded;
    loaded.bytes().fill(0x5A);
    const SettingsFileResult result = readSettingsFile("/proc/self/fd/" + std::to_string(memoryFile()), loaded);
    fuzzCheck(result.ok, "a regular file of any length loads");
    const std::size_t used = std::min(size, kImageSize);
    fuzzCheck(std::equal(data, data + used, loaded.bytes().begin()), "the file's first bytes are the image");
    fuzzCheck(std::all_of(loaded.bytes().begin() + static_cast<long>(used), loaded.bytes().end(),
                          [](std::uint8_t byte) { return byte == 0; }),
              "the image after a short file is zero");

    const std::string listing = answerText(loaded, kFullVersion);
    SettingsImage readBack;
    parseSettings(listing, readBack, kFullVersion);
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        fuzzCheck(parsed[offset] || readBack.bytes()[offset] == 0, "the listing fills only the vocabulary's fields");
    if (textsHoldNoCarriageReturn(loaded))
        fuzzCheck(answerText(readBack, kFullVersion) == listing, "the listing reads back to the same values");

    // A text field keeps what stands after its terminator, so the bytes of
    // two images with the same values may differ there; the values may not.
    SettingsImage secondReadBack;
    const std::string secondListing = answerText(readBack, kFullVersion);
    parseSettings(secondListing, secondReadBack, kFullVersion);
    fuzzCheck(answerText(secondReadBack, kFullVersion) == secondListing,
              "a listing read back lists and reads back unchanged");
    return 0;
}
