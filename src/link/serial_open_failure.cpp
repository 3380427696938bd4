#include "link/serial_open_failure.h"

#include "link/serial_device_path.h"

#include <cerrno>
#include <cstring>

namespace telvor {

namespace {

std::string describeDevice(const SerialDevice& device, const std::string& format)
{
    std::string line = "  " + device.path;
    if (!device.target.empty())
        line += " -> " + device.target;
    const PortNumbering numbering = portNumbering(format, device);
    if (numbering.number)
        return line + ": port " + std::to_string(*numbering.number) + "\n";
    line += ": no port number under the format " + format;
    if (!numbering.otherFormat.empty())
        line += " (with the format " + numbering.otherFormat + " it is port " + std::to_string(numbering.otherNumber)
            + ")";
    return line + "\n";
}

std::string existingDevices(const std::string& format, const std::vector<SerialDevice>& devices)
{
    if (devices.empty())
        return std::string(kNoSerialDevicesText) + "\n";
    std::string text = "Serial devices on this computer:\n";
    for (const SerialDevice& device : devices)
        text += describeDevice(device, format);
    return text;
}

} // namespace

std::string serialOpenFailureDetail(const std::string& devicePath, int error, const std::string& format,
                                    const std::vector<SerialDevice>& devices)
{
    const bool formatUsable = isValidSerialDeviceFormat(format);
    const std::string usedFormat = formatUsable ? format : kDefaultSerialDeviceFormat;
    std::string detail = "Cannot open " + devicePath + ": " + std::strerror(error) + ".\n";
    if (!formatUsable)
        detail += "The serial device format " + format + " is unusable (it needs exactly one %d), so " + usedFormat
            + " was used.\n";
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return detail + existingDevices(usedFormat, devices);
    default:
        return detail + serialOpenRemedy(error);
    }
}

std::string serialOpenRemedy(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "The user may not use serial ports: add the user to the dialout group with\n"
               "  sudo usermod -aG dialout $USER\n"
               "then log out and log in again.\n";
    case EBUSY:
        return "Another program holds the port; close it and try again.\n";
    default:
        return {};
    }
}

std::string serialPortNumberDetail(int portNumber)
{
    return "Port " + std::to_string(portNumber) + " names no serial device: ports are numbered from 1 to "
        + std::to_string(kHighestSerialPortNumber) + ".\n";
}

} // namespace telvor
