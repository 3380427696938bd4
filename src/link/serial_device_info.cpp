#include "link/serial_device_info.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>

namespace telvor {

namespace {

namespace fs = std::filesystem;

struct KindNames {
    SerialDeviceKind kind;
    std::string_view nodePrefix;
    std::string_view name;
    std::string_view description;
};

constexpr std::array<KindNames, 4> kKinds = {{
    {SerialDeviceKind::UsbAdapter, "ttyUSB", "usb-adapter", "USB serial adapter"},
    {SerialDeviceKind::UsbModem, "ttyACM", "usb-modem", "USB modem (CDC ACM)"},
    {SerialDeviceKind::OnBoard, "ttyS", "on-board", "on-board port"},
    {SerialDeviceKind::Unknown, "", "unknown", "serial device of unknown kind"},
}};

const KindNames& namesOf(SerialDeviceKind kind)
{
    for (const KindNames& names : kKinds)
        if (names.kind == kind)
            return names;
    return kKinds.back();
}

SerialDeviceKind kindOfNode(const std::string& nodeName)
{
    for (const KindNames& names : kKinds)
        if (!names.nodePrefix.empty() && nodeName.starts_with(names.nodePrefix))
            return names.kind;
    return SerialDeviceKind::Unknown;
}

// The first line of a sysfs attribute, empty when there is none.
std::string attribute(const fs::path& file)
{
    std::ifstream stream(file);
    std::string line;
    std::getline(stream, line);
    return line;
}

// The driver of the nearest folder from the tty's device upwards that has
// one. Since Linux 6.5 the serial core puts devices of its own bus
// (serial-base: "port", "ctrl") between an on-board port and its driver;
// they say nothing about the hardware.
std::string driverName(fs::path folder)
{
    for (; folder.has_relative_path(); folder = folder.parent_path()) {
        std::error_code error;
        const fs::path driver = fs::read_symlink(folder / "driver", error);
        if (!error && driver.parent_path().parent_path().filename() != "serial-base")
            return driver.filename().string();
    }
    return {};
}

// The USB device is the nearest folder above the tty's device that has a
// vendor id: for ttyUSB the interface's parent, for ttyACM the interface's.
void readUsbIdentity(fs::path folder, SerialDeviceInfo& info)
{
    while (folder.has_relative_path()) {
        if (fs::exists(folder / "idVendor")) {
            info.vendorId = attribute(folder / "idVendor");
            info.productId = attribute(folder / "idProduct");
            info.manufacturer = attribute(folder / "manufacturer");
            info.product = attribute(folder / "product");
            return;
        }
        folder = folder.parent_path();
    }
}

} // namespace

SerialDeviceInfo serialDeviceInfo(const std::string& nodeName, const std::string& ttyClassRoot)
{
    SerialDeviceInfo info;
    info.kind = kindOfNode(nodeName);
    std::error_code error;
    const fs::path device = fs::canonical(fs::path(ttyClassRoot) / nodeName / "device", error);
    if (error)
        return info;
    info.driver = driverName(device);
    readUsbIdentity(device, info);
    return info;
}

std::string kindName(SerialDeviceKind kind)
{
    return std::string(namesOf(kind).name);
}

std::string describeSerialDevice(const SerialDeviceInfo& info)
{
    std::string text(namesOf(info.kind).description);
    for (const std::string* part : {&info.manufacturer, &info.product})
        if (!part->empty())
            text += " " + *part;
    std::string details;
    if (!info.vendorId.empty())
        details = info.vendorId + ":" + info.productId;
    if (!info.driver.empty())
        details += (details.empty() ? "" : ", ") + std::string("driver ") + info.driver;
    return details.empty() ? text : text + " (" + details + ")";
}

} // namespace telvor
