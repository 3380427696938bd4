// Settings files: the 3608 bytes of a settings image, nothing else.
#pragma once

#include "settings_image.h"

#include <string>
#include <string_view>

namespace telvor {

inline constexpr std::string_view kDefaultSettingsFile = "default_en.tvr";
inline constexpr std::string_view kSettingsExtension = ".tvr";
// The status of a file that cannot be read as settings.
inline constexpr std::string_view kFileOpenError = "File open error!";

// The outcome of a file command: the status text as the window shows it and,
// after a failure, the system's reason, so that a caller can name both.
struct SettingsFileResult {
    bool ok = false;
    std::string status;
    std::string reason;
};

// A file name as the user typed it, with ".tvr" added when its last part has
// no extension. The name is otherwise kept as typed, directories included.
std::string withSettingsExtension(std::string_view path);

// Writes the image to a temporary file in the target's directory, checks
// every write, syncs it to the disk and renames it over the target, so that
// a failed save leaves any earlier file as it was. The new file takes the
// old one's mode, and its owner and group where the process may set them; a
// symbolic link is saved through to its target, in the target's directory.
// A file with several hard-linked names, and one whose directory refuses a
// new name, is written in place instead: truncated, written, synced and
// checked at each step, but not atomically.
SettingsFileResult writeSettingsFile(const std::string& path, const SettingsImage& image);
// Writes any settings content (a settings document's text) the same way,
// with the same status texts.
SettingsFileResult writeSettingsContent(const std::string& path, std::string_view content);

// Replaces the whole image by the file's first 3608 bytes, zeros after a
// shorter file. A file that cannot be opened or read leaves the image as it was.
SettingsFileResult readSettingsFile(const std::string& path, SettingsImage& image);
// Reads a whole file of at most `limit` bytes into `content`, with the same
// checks and status texts; a longer file cannot be opened ("File too large").
SettingsFileResult readSettingsContent(const std::string& path, std::string& content, std::size_t limit);

// The start-up load: the command line with its double quotes removed (at most
// 1023 characters), or "default_en.tvr" in the current directory when it is
// empty. The file's bytes are laid over the image from offset 0 on; the image
// is not zeroed first.
SettingsFileResult loadStartupSettings(std::string_view commandLine, SettingsImage& image);

// The name that the start-up load opens for a command line.
std::string startupFileName(std::string_view commandLine);

} // namespace telvor
