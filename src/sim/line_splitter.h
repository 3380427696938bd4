// Cuts the bytes a device receives into lines ended by CR.
#pragma once

#include <optional>
#include <string>

namespace telvor {

class LineSplitter {
public:
    // The longest line kept; the rest of a longer line is dropped up to its CR,
    // as a device with a fixed line buffer would.
    static constexpr std::size_t kMaxLineLength = 4096;

    // The line that `byte` completes, without its CR. Line feeds are passed
    // over and empty lines give nothing.
    std::optional<std::string> push(char byte);
    void clear() { m_line.clear(); }

private:
    std::string m_line;
};

} // namespace telvor
