#include "settings_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace telvor {
namespace {

constexpr std::size_t kCommandLineLimit = 1023;

std::string systemReason(int error)
{
    return std::generic_category().message(error);
}

std::string fileNameOf(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

// A descriptor that is closed when it goes out of scope unless closed on
// purpose, where the result of the close counts.
class FileDescriptor final {
public:
    explicit FileDescriptor(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    int get() const { return m_descriptor; }
    bool valid() const { return m_descriptor >= 0; }
    bool close()
    {
        const int descriptor = std::exchange(m_descriptor, -1);
        return ::close(descriptor) == 0;
    }

private:
    int m_descriptor;
};

bool writeAll(int descriptor, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads up to the buffer's size; the count read, or -1 with errno set.
ssize_t readUpTo(int descriptor, std::string& buffer)
{
    std::size_t total = 0;
    while (total < buffer.size()) {
        const ssize_t count = ::read(descriptor, buffer.data() + total, buffer.size() - total);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return -1;
        if (count == 0)
            break;
        total += static_cast<std::size_t>(count);
    }
    return static_cast<ssize_t>(total);
}

struct FileBytes {
    std::string bytes;
    bool failed = false;
    std::string reason;
};

FileBytes failure(std::string reason)
{
    FileBytes file;
    file.failed = true;
    file.reason = std::move(reason);
    return file;
}

// Only a regular file holds settings. The open does not block, so that a FIFO
// without a writer or a terminal is refused at once instead of holding up
// the program; a directory is named as such. At most `limit` bytes are read.
FileBytes readFileBytes(const std::string& path, std::size_t limit)
{
    FileDescriptor descriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!descriptor.valid())
        return failure(systemReason(errno));
    struct stat status {};
    if (::fstat(descriptor.get(), &status) != 0)
        return failure(systemReason(errno));
    if (S_ISDIR(status.st_mode))
        return failure(systemReason(EISDIR));
    if (!S_ISREG(status.st_mode))
        return failure("Not a regular file");
    FileBytes file;
    file.bytes.resize(limit);
    const ssize_t count = readUpTo(descriptor.get(), file.bytes);
    if (count < 0)
        return failure(systemReason(errno));
    file.bytes.resize(static_cast<std::size_t>(count));
    return file;
}

// A name beside the target that no other save uses at the same time, short
// enough for any directory that can hold the target.
std::string temporaryPathFor(const std::string& path)
{
    static std::atomic<unsigned> serial{0};
    const std::string name = ".telvor-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".tmp";
    return (std::filesystem::path(path).parent_path() / name).string();
}

// 0 on success, else the errno of the step that failed.
int writeThroughTemporary(const std::string& path, std::string_view content)
{
    const std::string temporary = temporaryPathFor(path);
    FileDescriptor descriptor(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!descriptor.valid())
        return errno;
    const bool written
        = writeAll(descriptor.get(), reinterpret_cast<const std::uint8_t*>(content.data()), content.size())
        && ::fsync(descriptor.get()) == 0 && descriptor.close() && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return error;
    }
    // The new file is complete and in place; syncing the directory only makes
    // the rename itself survive a power loss, so its failure changes nothing
    // that the user could act on.
    const std::filesystem::path directory = std::filesystem::path(path).parent_path();
    FileDescriptor folder(::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid())
        ::fsync(folder.get());
    return 0;
}

} // namespace

std::string withSettingsExtension(std::string_view path)
{
    std::string name(path);
    if (!std::filesystem::path(name).filename().has_extension())
        name += kSettingsExtension;
    return name;
}

SettingsFileResult writeSettingsFile(const std::string& path, const SettingsImage& image)
{
    const SettingsImage::Bytes& bytes = image.bytes();
    return writeSettingsContent(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

SettingsFileResult writeSettingsContent(const std::string& path, std::string_view content)
{
    if (const int error = writeThroughTemporary(path, content))
        return {false, "File write error!", systemReason(error)};
    return {true, "Configuration saved to:\r\n" + fileNameOf(path), {}};
}

SettingsFileResult readSettingsFile(const std::string& path, SettingsImage& image)
{
    const FileBytes file = readFileBytes(path, kImageSize);
    if (file.failed)
        return {false, std::string(kFileOpenError), file.reason};
    image.clear();
    std::copy(file.bytes.begin(), file.bytes.end(), image.bytes().begin());
    return {true, "Configuration loaded from:\r\n" + fileNameOf(path), {}};
}

SettingsFileResult readSettingsContent(const std::string& path, std::string& content, std::size_t limit)
{
    FileBytes file = readFileBytes(path, limit + 1);
    if (!file.failed && file.bytes.size() > limit)
        file = failure(systemReason(EFBIG));
    if (file.failed)
        return {false, std::string(kFileOpenError), file.reason};
    content = std::move(file.bytes);
    return {true, "Configuration loaded from:\r\n" + fileNameOf(path), {}};
}

std::string startupFileName(std::string_view commandLine)
{
    if (commandLine.empty())
        return std::string(kDefaultSettingsFile);
    std::string name;
    for (const char character : commandLine)
        if (character != '"' && name.size() < kCommandLineLimit)
            name += character;
    return name;
}

SettingsFileResult loadStartupSettings(std::string_view commandLine, SettingsImage& image)
{
    const std::string name = startupFileName(commandLine);
    const FileBytes file = readFileBytes(name, kImageSize);
    if (file.failed)
        return {false, "File open error:\r\n" + name, file.reason};
    std::copy(file.bytes.begin(), file.bytes.end(), image.bytes().begin());
    return {true, "Default settings loaded from:\r\n" + name, {}};
}

} // namespace telvor
