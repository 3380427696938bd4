// What sysfs tells about the device behind a serial device node: its kind,
// its driver and, for a USB device, its vendor and product.
#pragma once

#include <string>

namespace telvor {

enum class SerialDeviceKind {
    UsbAdapter, // ttyUSB: a USB serial adapter
    UsbModem,   // ttyACM: a USB device of the modem class (CDC ACM)
    OnBoard,    // ttyS: a UART of the machine itself
    Unknown,
};

struct SerialDeviceInfo {
    SerialDeviceKind kind = SerialDeviceKind::Unknown;
    // What sysfs does not tell stays empty.
    std::string driver;    // "ftdi_sio", "cdc_acm", "serial8250"
    std::string vendorId;  // USB vendor id, four hex digits
    std::string productId; // USB product id
    std::string manufacturer;
    std::string product;
};

// `nodeName` is the node's name in /dev ("ttyUSB0"); `ttyClassRoot` the
// folder /sys/class/tty.
SerialDeviceInfo serialDeviceInfo(const std::string& nodeName, const std::string& ttyClassRoot);

// "usb-adapter", "usb-modem", "on-board", "unknown": for scripts.
std::string kindName(SerialDeviceKind kind);

// For a person: "USB serial adapter FTDI FT232R USB UART (0403:6001, driver
// ftdi_sio)", "on-board port (driver serial8250)".
std::string describeSerialDevice(const SerialDeviceInfo& info);

} // namespace telvor
