// Hour lists typed as arbitrary text: the hours stored, checked against a
// reading of the text's digit runs, and the list shown reads back the same.
#include "fuzz_check.h"

#include "editors/field_text.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace telvor;

namespace {

constexpr std::uint8_t kUntouched = 0xA5;

// Each run of digits is an hour: leading zeros aside, one or two digits of
// at most 24, where 24 stands for 0; longer runs and larger values name none.
std::uint32_t expectedHours(std::string_view text)
{
    std::uint32_t hours = 0;
    std::size_t position = 0;
    while (position < text.size()) {
        if (text[position] < '0' || text[position] > '9') {
            ++position;
            continue;
        }
        std::size_t end = position;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        std::string_view run = text.substr(position, end - position);
        while (run.size() > 1 && run.front() == '0')
            run.remove_prefix(1);
        if (run.size() <= 2) {
            const int value = std::stoi(std::string(run));
            if (value <= 24)
                hours |= 1u << (value % 24);
        }
        position = end;
    }
    return hours;
}

std::uint32_t storedHours(const SettingsImage& image, const Slot& hours)
{
    const auto bytes = image.bytesOf(hours);
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Slot hours = slot("GRDHR");
    SettingsImage image;
    image.bytes().fill(kUntouched);
    hourListToBits(text, image, hours);

    fuzzCheck(storedHours(image, hours) == expectedHours(text), "the hours stored are the text's hours");
    for (std::size_t offset = 0; offset < kImageSize; ++offset) {
        const bool inField = offset >= static_cast<std::size_t>(hours.offset)
            && offset < static_cast<std::size_t>(hours.offset + hours.width);
        fuzzCheck(inField || image.bytes()[offset] == kUntouched, "only the hour set changes");
    }

    SettingsImage again;
    hourListToBits(hourListFromBits(image, hours), again, hours);
    fuzzCheck(storedHours(again, hours) == storedHours(image, hours), "the list shown reads back the same hours");
    return 0;
}
