// A Telvor device as seen from its serial line or TCP connection: lines in,
// replies out, settings kept in a settings image.
#pragma once

#include "device_faults.h"
#include "image/firmware_version.h"
#include "image/settings_image.h"
#include "line_splitter.h"

#include <string>
#include <string_view>
#include <vector>

namespace telvor {

struct Reply {
    std::string bytes; // nothing is sent when empty
    // A transport that sends replies in pieces may cut only the first this
    // many bytes; the rest travels as one piece.
    std::size_t cuttableLength = std::string::npos;
    bool closeAfter = false; // the connection ends after the bytes
};

class VirtualDevice {
public:
    static constexpr std::string_view kDefaultVersionText = "v3.6E";

    explicit VirtualDevice(const SettingsImage& image = {}, std::string versionText = std::string(kDefaultVersionText),
                           DeviceFaults faults = {});

    // A new connection: the numbering of lines for the line faults restarts.
    void beginConnection();
    // The reply to one line received (without its CR).
    Reply handleLine(std::string_view line);
    // The replies to the lines that `bytes` completes.
    std::vector<Reply> receive(std::string_view bytes);

    SettingsImage& image() { return m_image; }
    const SettingsImage& image() const { return m_image; }
    const std::string& versionText() const { return m_versionText; }
    const FirmwareVersion& version() const { return m_version; }
    // Every line received since the device was made, in order.
    const std::vector<std::string>& receivedLines() const { return m_receivedLines; }

private:
    Reply act(std::string_view line);
    std::string queryAnswer(std::vector<std::string> lines);
    bool corrupts(std::string_view key);

    SettingsImage m_image;
    std::string m_versionText;
    FirmwareVersion m_version;
    DeviceFaults m_faults;
    std::map<std::string, int, std::less<>> m_corruptedAnswers;
    std::vector<std::string> m_receivedLines;
    LineSplitter m_splitter;
    int m_lineNumber = 0;
};

} // namespace telvor
