#include "console.h"

#include "frontend/windows_1250.h"

#include <QStringEncoder>

#include <cstdio>

namespace telvor {
namespace {

// An empty view may hold a null pointer, which fwrite must not be given
// even for no bytes.
void writeBytes(std::FILE* stream, std::string_view bytes)
{
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

void writeLine(std::FILE* stream, std::string_view prefix, std::string_view text)
{
    writeBytes(stream, prefix);
    writeBytes(stream, text);
    std::fputc('\n', stream);
}

} // namespace

void printError(std::string_view message)
{
    writeLine(stderr, "telvorctl: ", message);
}

void printNote(std::string_view detail)
{
    writeLine(stderr, "telvorctl: note: ", detail);
}

void printLine(std::string_view line)
{
    writeLine(stdout, {}, line);
}

std::string terminalText(std::string_view windows1250)
{
    QStringEncoder encoder(QStringEncoder::System);
    return QByteArray(encoder.encode(decodeWindows1250(windows1250))).toStdString();
}

} // namespace telvor
