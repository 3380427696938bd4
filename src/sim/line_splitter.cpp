#include "line_splitter.h"

namespace telvor {

std::optional<std::string> LineSplitter::push(char byte)
{
    if (byte == '\n')
        return std::nullopt;
    if (byte != '\r') {
        if (m_line.size() < kMaxLineLength)
            m_line += byte;
        return std::nullopt;
    }
    if (m_line.empty())
        return std::nullopt;
    std::string line;
    line.swap(m_line);
    return line;
}

} // namespace telvor
