#include "windows_1250_text.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <memory>
#include <stdexcept>

namespace telvor {
namespace {

struct ConverterClose {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterClose>;

// A converter that stops at a character it cannot convert instead of
// putting a substitute in its place.
Converter windows1250Converter()
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("windows-1250", &status));
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("ICU has no windows-1250 converter: ") + u_errorName(status));
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return converter;
}

// One converter per thread: ICU's converters keep state between calls.
UConverter* converter()
{
    thread_local const Converter instance = windows1250Converter();
    return instance.get();
}

std::optional<std::u16string> utf16FromUtf8(std::string_view utf8)
{
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        return std::nullopt;
    std::u16string utf16(static_cast<std::size_t>(length), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8(utf16.data(), length, nullptr, utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    return utf16;
}

std::string utf8FromUtf16(std::u16string_view utf16)
{
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strToUTF8(nullptr, 0, &length, utf16.data(), static_cast<int32_t>(utf16.size()), &status);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8(utf8.data(), length, nullptr, utf16.data(), static_cast<int32_t>(utf16.size()), &status);
    return utf8;
}

// The text as Windows-1250 bytes, one per character, or nothing. ICU drops
// default-ignorable characters (a zero-width space, say) without an error;
// they have no byte either, so a text that loses one is refused.
std::optional<std::string> windows1250Bytes(std::u16string_view text)
{
    UConverter* const windows1250 = converter();
    ucnv_resetFromUnicode(windows1250);
    // A single-byte code page: one byte per UTF-16 unit at most.
    std::string bytes(text.size(), '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_fromUChars(windows1250, bytes.data(), static_cast<int32_t>(bytes.size()), text.data(),
                                           static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status) || length != u_countChar32(text.data(), static_cast<int32_t>(text.size())))
        return std::nullopt;
    bytes.resize(static_cast<std::size_t>(length));
    return bytes;
}

} // namespace

std::string utf8FromWindows1250(std::string_view bytes)
{
    UConverter* const windows1250 = converter();
    ucnv_resetToUnicode(windows1250);
    std::u16string utf16(bytes.size(), u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(windows1250, utf16.data(), static_cast<int32_t>(utf16.size()), bytes.data(),
                                         static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("windows-1250 bytes without characters: ") + u_errorName(status));
    utf16.resize(static_cast<std::size_t>(length));
    return utf8FromUtf16(utf16);
}

std::optional<std::string> windows1250FromUtf8(std::string_view utf8, Windows1250Refusal* refusal)
{
    const std::optional<std::u16string> utf16 = utf16FromUtf8(utf8);
    if (!utf16) {
        if (refusal)
            refusal->character.clear();
        return std::nullopt;
    }
    if (std::optional<std::string> bytes = windows1250Bytes(*utf16))
        return bytes;
    if (refusal) {
        // Character by character, so that the refused one can be named.
        for (std::size_t position = 0; position < utf16->size();) {
            const std::size_t length = U16_IS_LEAD((*utf16)[position]) && position + 1 < utf16->size() ? 2 : 1;
            const std::u16string_view character = std::u16string_view(*utf16).substr(position, length);
            if (!windows1250Bytes(character)) {
                refusal->character = utf8FromUtf16(character);
                break;
            }
            position += length;
        }
    }
    return std::nullopt;
}

} // namespace telvor
