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

bool writeAll(int descriptor, std::string_view content)
{
    const char* data = content.data();
    std::size_t size = content.size();
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

// Reads into the buffer from `total` on, up to its size; the count it then
// holds, or -1 with errno set.
ssize_t readUpTo(int descriptor, std::string& buffer, std::size_t total)
{
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
    // Room for the file as it stands and a byte to see it end there, not for
    // the whole limit at once: a limit of megabytes would otherwise be
    // memory held for every small file. A file that grows meanwhile is read
    // on, up to the limit.
    FileBytes file;
    std::size_t total = 0;
    std::size_t room = std::min(limit, static_cast<std::size_t>(std::max<off_t>(status.st_size, 0)) + 1);
    for (;;) {
        file.bytes.resize(room);
        const ssize_t count = readUpTo(descriptor.get(), file.bytes, total);
        if (count < 0)
            return failure(systemReason(errno));
        total = static_cast<std::size_t>(count);
        if (total < room || room == limit)
            break;
        room = std::min(limit, 2 * room);
    }
    file.bytes.resize(total);
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

// As many symbolic links as the system itself follows in one name.
constexpr int kLinkHopLimit = 40;

// The file that a save of `path` writes: where its symbolic links lead, a
// relative link read against the folder that holds it. A name that is no
// link, or does not exist yet, is that file itself. 0, or the errno that
// stops the save.
int followLinks(std::string& path)
{
    namespace fs = std::filesystem;
    for (int hop = 0; hop < kLinkHopLimit; ++hop) {
        std::error_code error;
        // A name that cannot be looked at is left to the steps that follow,
        // which report it with the reason the system gives them.
        if (!fs::is_symlink(fs::symlink_status(path, error)) || error)
            return 0;
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            return error.value();
        path = target.is_absolute() ? target.string() : (fs::path(path).parent_path() / target).string();
    }
    return ELOOP;
}

// The old file's owner and group, where this process may give them (root
// may; an owner may give a group of its own), then its mode: a settings file
// holds the SIM PIN and the passwords.
bool takeProtection(int descriptor, const struct stat& existing)
{
    if (::fchown(descriptor, existing.st_uid, existing.st_gid) != 0)
        ::fchown(descriptor, static_cast<uid_t>(-1), existing.st_gid);
    return ::fchmod(descriptor, existing.st_mode & 07777) == 0;
}

// Replaces the file at `path` atomically; `existing` is the regular file
// there, whose protection the new one takes, or null. 0 on success, else
// the errno of the step that failed.
int writeThroughTemporary(const std::string& path, std::string_view content, const struct stat* existing)
{
    const std::string temporary = temporaryPathFor(path);
    // A new file follows the umask; one that replaces a file is its owner's
    // alone until it has that file's protection.
    FileDescriptor descriptor(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, existing ? 0600 : 0666));
    if (!descriptor.valid())
        return errno;
    const bool written = (!existing || takeProtection(descriptor.get(), *existing))
        && writeAll(descriptor.get(), content) && ::fsync(descriptor.get()) == 0 && descriptor.close()
        && ::rename(temporary.c_str(), path.c_str()) == 0;
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

// Writes over the regular file at `path` itself: not atomic, a save that
// dies part-way leaves the file short, but it keeps the file's other
// hard-linked names and needs no new name in its folder. 0 on success, else
// the errno of the step that failed.
int writeInPlace(const std::string& path, std::string_view content)
{
    FileDescriptor descriptor(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!descriptor.valid())
        return errno;
    struct stat status {};
    if (::fstat(descriptor.get(), &status) != 0)
        return errno;
    if (!S_ISREG(status.st_mode))
        return EINVAL;
    const bool written = ::ftruncate(descriptor.get(), 0) == 0 && writeAll(descriptor.get(), content)
        && ::fsync(descriptor.get()) == 0 && descriptor.close();
    return written ? 0 : errno;
}

// 0 on success, else the errno of the step that failed.
int saveContent(std::string path, std::string_view content)
{
    if (const int error = followLinks(path))
        return error;
    struct stat existing {};
    const bool regular = ::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    if (regular && existing.st_nlink > 1)
        return writeInPlace(path, content);
    const int error = writeThroughTemporary(path, content, regular ? &existing : nullptr);
    // Only making the temporary file and the rename are refused so: by a
    // folder that takes no new names from this user, or by a sticky folder
    // for another user's file. The file itself may still be writable.
    if (regular && (error == EACCES || error == EPERM))
        return writeInPlace(path, content);
    return error;
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
    if (const int error = saveContent(path, content))
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
