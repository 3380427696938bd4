// The three conversations of the main window with a device: "Check device
// version", "Read from device" and "Write to device" (with its verification
// and service commands). Each opens the link, talks, closes it again and
// reports only through the status surface.
#pragma once

#include "image/firmware_version.h"
#include "local_clock.h"
#include "status_surface.h"

#include "image/settings_image.h"

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace telvor {

class DeviceLink;
struct CompareRow;
struct RewriteStage;
struct WriteRow;

class DeviceOperations final {
public:
    // The images, the version, the link and the surface belong to the caller
    // and outlive the operations.
    DeviceOperations(SettingsImage& working, SettingsImage& verification, FirmwareVersion& version, DeviceLink& link,
                     StatusSurface& surface, LocalClock clock = localTimeNow);

    // Each returns true when the operation ended as it should: the version
    // read; the settings read; the write verified and every ticked service
    // command acknowledged.
    bool checkDeviceVersion();
    bool readFromDevice();
    bool writeToDevice();

    enum class BackupWrite { BackupNotRead, BackupNotKept, WriteFailed, Written };
    // A write that first reads the device's settings into `backup` exactly as
    // readFromDevice() reads them, on the same connection: the device sees
    // the read's lines, then the write's, as writeToDevice() sends them. The
    // read reports as a read does, under the step ReadingBackup; `keepBackup`
    // is then asked to keep the image, and the write starts only when it has.
    BackupWrite writeAfterBackup(SettingsImage& backup, const std::function<bool()>& keepBackup);

private:
    // The lines that wake the device before "VER?"; only the last one must
    // be acknowledged.
    struct Opening {
        std::span<const std::string_view> lines;
        std::string_view haltBox;
        int progressAfterLines;
    };
    static constexpr std::array<std::string_view, 1> kShortOpening{"HALT!"};
    static constexpr std::array<std::string_view, 3> kFullOpening{"HALT!", "DEBUG=0", "HALT!"};

    // How a stage of the verification ended: it went through (the later
    // stages run), it ended the verification as failed, or the device did
    // not answer and the operation is over.
    enum class StageEnd { Completed, EndedFailed, LinkLost };

    bool openLink();
    void clearTexts();
    bool greet(const Opening& opening);
    bool readInto(SettingsImage& image, OperationStep readingStep);
    bool writeOpenLink();
    void finish();

    bool command(std::string_view line, std::string_view box, std::string_view status);
    bool query(std::string_view line, std::string_view box, std::string_view status);
    void failWith(std::string_view box, std::string_view status);
    void progress(int position);
    void pause(bool longDelay);
    void parseAnswerInto(SettingsImage& image);

    bool sendWriteRows();
    bool sendWriteRow(const WriteRow& row, int index);
    bool verify();
    StageEnd verifySettings();
    StageEnd runRewriteStage(const RewriteStage& stage);
    bool differs(const CompareRow& row);
    bool runServiceCommands();

    SettingsImage& m_working;
    SettingsImage& m_verification;
    FirmwareVersion& m_version;
    DeviceLink& m_link;
    StatusSurface& m_surface;
    LocalClock m_clock;
    ControlValues m_controls;
    bool m_passed = false;
    std::string m_verifyLabel;
};

} // namespace telvor
