// A folder in place of /dev and /sys (TELVOR_SYSTEM_ROOT) with the serial
// devices a test describes: nodes that are plain files or links to
// pseudo-terminals, by-id links, and the sysfs entries of USB adapters,
// USB modems and on-board ports, laid out as Linux lays them out.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace telvor::test_support {

class FakeSystemTree {
public:
    struct UsbIdentity {
        std::string vendorId;
        std::string productId;
        std::string manufacturer; // no attribute when empty
        std::string product;
    };

    // Readable by everybody, for tests that run as an unprivileged user.
    FakeSystemTree()
    {
        char folder[] = "/tmp/telvor-system-XXXXXX";
        if (!::mkdtemp(folder))
            throw std::runtime_error("no folder for the system tree");
        m_root = folder;
        std::filesystem::permissions(m_root, std::filesystem::perms(0755));
        std::filesystem::create_directories(m_root / "dev/serial/by-id");
        std::filesystem::create_directories(m_root / "sys/class/tty");
        std::filesystem::create_directories(m_root / "sys/bus");
    }
    ~FakeSystemTree() { std::filesystem::remove_all(m_root); }
    FakeSystemTree(const FakeSystemTree&) = delete;
    FakeSystemTree& operator=(const FakeSystemTree&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    std::string dev(const std::string& name) const { return (m_root / "dev" / name).string(); }

    // /dev/NAME as a plain file with `mode`, or as a link to `target`.
    void addNode(const std::string& name, std::filesystem::perms mode = std::filesystem::perms(0666)) const
    {
        std::ofstream(m_root / "dev" / name) << "";
        std::filesystem::permissions(m_root / "dev" / name, mode);
    }
    void addNodeLink(const std::string& name, const std::string& target) const
    {
        std::filesystem::create_symlink(target, m_root / "dev" / name);
    }
    // /dev/serial/by-id/LINK -> ../../NODE, as udev makes it.
    void addLinkById(const std::string& link, const std::string& node) const
    {
        std::filesystem::create_symlink("../../" + node, m_root / "dev/serial/by-id" / link);
    }

    // A USB serial adapter: the tty is a device below the interface, whose
    // parent is the USB device with its identity.
    void addUsbAdapter(const std::string& name, const std::string& usbPort, const UsbIdentity& identity,
                       const std::string& driver) const
    {
        const std::string usbDevice = "devices/pci0000:00/0000:00:14.0/usb1/" + usbPort;
        addUsbIdentity(usbDevice, identity);
        const std::string tty = usbDevice + "/" + usbPort + ":1.0/" + name;
        addDevice(tty, "usb-serial/drivers/" + driver);
        linkClass(name, tty);
    }
    // A USB modem (CDC ACM): the tty's device is the interface itself.
    void addUsbModem(const std::string& name, const std::string& usbPort, const UsbIdentity& identity) const
    {
        const std::string usbDevice = "devices/pci0000:00/0000:00:14.0/usb1/" + usbPort;
        addUsbIdentity(usbDevice, identity);
        const std::string interface = usbDevice + "/" + usbPort + ":1.0";
        addDevice(interface, "usb/drivers/cdc_acm");
        linkClass(name, interface);
    }
    // An on-board port with its UART type ("0": none), behind the serial
    // core's own port and controller devices (Linux 6.5 and later).
    void addOnBoardPort(const std::string& name, const std::string& pnpDevice, const std::string& type) const
    {
        const std::string parent = "devices/pnp0/" + pnpDevice;
        addDevice(parent, "pnp/drivers/serial");
        addDevice(parent + "/" + pnpDevice + ":0", "serial-base/drivers/ctrl");
        const std::string port = parent + "/" + pnpDevice + ":0/" + pnpDevice + ":0.0";
        addDevice(port, "serial-base/drivers/port");
        linkClass(name, port);
        std::ofstream(m_root / "sys/class/tty" / name / "type") << type << "\n";
    }

private:
    // sys/DEVICE with a driver link to sys/bus/DRIVER.
    void addDevice(const std::string& device, const std::string& driver) const
    {
        const std::filesystem::path folder = m_root / "sys" / device;
        std::filesystem::create_directories(folder);
        std::filesystem::create_directories(m_root / "sys/bus" / driver);
        std::filesystem::create_symlink(std::filesystem::relative(m_root / "sys/bus" / driver, folder),
                                        folder / "driver");
    }
    void addUsbIdentity(const std::string& device, const UsbIdentity& identity) const
    {
        const std::filesystem::path folder = m_root / "sys" / device;
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "idVendor") << identity.vendorId << "\n";
        std::ofstream(folder / "idProduct") << identity.productId << "\n";
        if (!identity.manufacturer.empty())
            std::ofstream(folder / "manufacturer") << identity.manufacturer << "\n";
        std::ofstream(folder / "product") << identity.product << "\n";
    }
    // sys/class/tty/NAME/device -> the device, as relative links.
    void linkClass(const std::string& name, const std::string& device) const
    {
        const std::filesystem::path folder = m_root / "sys/class/tty" / name;
        std::filesystem::create_directories(folder);
        std::filesystem::create_symlink(std::filesystem::relative(m_root / "sys" / device, folder), folder / "device");
    }

    std::filesystem::path m_root;
};

} // namespace telvor::test_support
