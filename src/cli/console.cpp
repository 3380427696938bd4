#include "console.h"

#include <QStringDecoder>
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
    QStringDecoder decoder("windows-1250");
    QStringEncoder encoder(QStringEncoder::System);
    const QString text = decoder.decode(QByteArrayView(windows1250.data(), static_cast<qsizetype>(windows1250.size())));
    return QByteArray(encoder.encode(text)).toStdString();
}

} // namespace telvor
