#include "device_operations.h"
#include "write_rows.h"

#include "link/device_link.h"

namespace telvor {

bool DeviceOperations::writeToDevice()
{
    if (!openLink())
        return false;
    const bool done = writeOpenLink();
    finish();
    return done;
}

DeviceOperations::BackupWrite DeviceOperations::writeAfterBackup(SettingsImage& backup,
                                                                 const std::function<bool()>& keepBackup)
{
    if (!openLink())
        return BackupWrite::BackupNotRead;
    BackupWrite result = BackupWrite::BackupNotRead;
    if (readInto(backup, OperationStep::ReadingBackup)) {
        result = BackupWrite::BackupNotKept;
        if (keepBackup()) {
            // The write's texts start afresh, as if it had opened the link.
            clearTexts();
            result = writeOpenLink() ? BackupWrite::Written : BackupWrite::WriteFailed;
        }
    }
    finish();
    return result;
}

// The write's conversation on the open link, its verification and the
// service commands.
bool DeviceOperations::writeOpenLink()
{
    bool done = greet({kFullOpening, "No answer from device (HALT 1)", 1});
    if (done) {
        m_version = decodeVersion(m_link.reply());
        m_surface.setStep(OperationStep::WritingSettings);
        progress(5);
        done = sendWriteRows();
    }
    if (done) {
        m_surface.setStatusText("Configuration transferred to device");
        done = verify() && runServiceCommands();
    }
    return done;
}

bool DeviceOperations::sendWriteRows()
{
    for (const WriteRow& row : writeRows()) {
        if (!holds(row.condition, m_version, m_working))
            continue;
        if (row.progressBefore != kProgressUnchanged)
            progress(row.progressBefore);
        if (!row.indexed()) {
            if (!sendWriteRow(row, Field::kNotIndexed))
                return false;
            continue;
        }
        for (int index = row.firstIndex; index <= row.lastIndexFor(m_version); ++index)
            if (!sendWriteRow(row, index))
                return false;
    }
    return true;
}

bool DeviceOperations::sendWriteRow(const WriteRow& row, int index)
{
    const auto advance = [&] {
        if (row.progressBase != kProgressUnchanged)
            progress(row.progressBase + row.progressStep * (row.indexed() ? index : 0));
    };
    if (row.kind == WriteRow::Kind::End) {
        advance();
        return true;
    }
    const std::string line = buildWriteLine(row, m_working, m_version, index);
    bool acknowledged = m_link.sendCommand(line) == CommandResult::Acknowledged;
    // A message body, the longest line, gets one second try before the
    // write gives up.
    if (!acknowledged && row.kind == WriteRow::Kind::MessageBody)
        acknowledged = m_link.sendCommand(line) == CommandResult::Acknowledged;
    if (!acknowledged && row.kind != WriteRow::Kind::Halt) {
        failWith(formatText(row.box, {long{index}}), formatText(row.status, {long{index}}));
        return false;
    }
    advance();
    return true;
}

} // namespace telvor
