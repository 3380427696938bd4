#include "link/serial_device_path.h"

#include <charconv>

namespace telvor {

namespace {

struct FormatParts {
    std::string prefix;
    std::string suffix;
};

// The text around the one %d, with "%%" already made a single percent sign.
std::optional<FormatParts> splitFormat(const std::string& format)
{
    FormatParts parts;
    bool numberSeen = false;
    for (std::size_t index = 0; index < format.size(); ++index) {
        std::string& side = numberSeen ? parts.suffix : parts.prefix;
        if (format[index] != '%') {
            side.push_back(format[index]);
            continue;
        }
        if (index + 1 == format.size())
            return std::nullopt;
        const char conversion = format[++index];
        if (conversion == '%')
            side.push_back('%');
        else if (conversion == 'd' && !numberSeen)
            numberSeen = true;
        else
            return std::nullopt;
    }
    if (!numberSeen)
        return std::nullopt;
    return parts;
}

FormatParts usableParts(const std::string& format)
{
    if (auto parts = splitFormat(format))
        return *parts;
    return *splitFormat(kDefaultSerialDeviceFormat);
}

} // namespace

bool isValidSerialDeviceFormat(const std::string& format)
{
    return splitFormat(format).has_value();
}

std::string serialDevicePath(const std::string& format, int portNumber)
{
    if (portNumber < 1 || portNumber > kHighestSerialPortNumber)
        return {};
    const FormatParts parts = usableParts(format);
    return parts.prefix + std::to_string(portNumber - 1) + parts.suffix;
}

std::optional<int> serialPortNumberOf(const std::string& format, const std::string& devicePath)
{
    const FormatParts parts = usableParts(format);
    if (devicePath.size() <= parts.prefix.size() + parts.suffix.size() || !devicePath.starts_with(parts.prefix)
        || !devicePath.ends_with(parts.suffix))
        return std::nullopt;
    const std::string_view digits(devicePath.data() + parts.prefix.size(),
                                  devicePath.size() - parts.prefix.size() - parts.suffix.size());
    if (digits.size() > 1 && digits.front() == '0')
        return std::nullopt;
    int index = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (error != std::errc{} || end != digits.data() + digits.size() || index < 0
        || index + 1 > kHighestSerialPortNumber)
        return std::nullopt;
    return index + 1;
}

} // namespace telvor
