#include "frontend/windows_1250.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

namespace telvor {
namespace {

constexpr const char* kEncoding = "windows-1250";

// The encoder converts lazily: only taking the bytes reveals an error.
bool encodes(const QString& text)
{
    QStringEncoder encoder(kEncoding);
    const QByteArray bytes = encoder(text);
    return !encoder.hasError();
}

} // namespace

QString decodeWindows1250(std::string_view bytes)
{
    QStringDecoder decoder(kEncoding);
    return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::optional<std::string> encodeWindows1250(const QString& text, QString* refused)
{
    QStringEncoder encoder(kEncoding);
    const QByteArray bytes = encoder(text);
    if (!encoder.hasError())
        return bytes.toStdString();
    if (refused) {
        // Whole code points, so that a character outside the basic plane
        // is named as itself rather than as half a surrogate pair.
        for (const char32_t codePoint : text.toUcs4()) {
            const QString character = QString::fromUcs4(&codePoint, 1);
            if (!encodes(character)) {
                *refused = character;
                break;
            }
        }
    }
    return std::nullopt;
}

} // namespace telvor
