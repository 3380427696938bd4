#include "fleet/csv_table.h"

#include <algorithm>
#include <optional>

namespace telvor {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The first comma or semicolon outside quotes on the first line that is not
// blank.
char separatorOf(std::string_view text)
{
    text.remove_prefix(std::min(text.find_first_not_of("\r\n"), text.size()));
    bool quoted = false;
    for (const char character : text) {
        if (character == '"')
            quoted = !quoted;
        else if (!quoted && (character == ',' || character == ';'))
            return character;
        else if (!quoted && (character == '\n' || character == '\r'))
            break;
    }
    return ',';
}

bool allEmpty(const std::vector<std::string>& fields)
{
    return std::all_of(fields.begin(), fields.end(), [](const std::string& field) { return field.empty(); });
}

class CsvReader {
public:
    CsvReader(std::string_view text, char separator)
        : m_text(text)
        , m_separator(separator)
    {
    }

    std::variant<CsvTable, CsvError> read()
    {
        CsvTable table;
        table.separator = m_separator;
        while (m_at < m_text.size()) {
            CsvRecord record;
            record.line = m_line;
            for (;;) {
                std::string field;
                if (m_at < m_text.size() && m_text[m_at] == '"') {
                    if (auto error = quotedField(field, record.line))
                        return *error;
                } else {
                    unquotedField(field);
                }
                record.fields.push_back(std::move(field));
                if (m_at < m_text.size() && m_text[m_at] == m_separator) {
                    ++m_at;
                    continue;
                }
                endOfLine();
                break;
            }
            if (!allEmpty(record.fields))
                table.records.push_back(std::move(record));
        }
        return table;
    }

private:
    bool atLineEnd() const { return m_text[m_at] == '\n' || m_text[m_at] == '\r'; }

    // Steps over CR LF, LF or CR.
    void endOfLine()
    {
        if (m_at >= m_text.size())
            return;
        if (m_text[m_at] == '\r' && m_at + 1 < m_text.size() && m_text[m_at + 1] == '\n')
            ++m_at;
        ++m_at;
        ++m_line;
    }

    void unquotedField(std::string& field)
    {
        const std::size_t start = m_at;
        while (m_at < m_text.size() && m_text[m_at] != m_separator && !atLineEnd())
            ++m_at;
        field.assign(m_text.substr(start, m_at - start));
    }

    // A line break inside stays in the field as written.
    std::optional<CsvError> quotedField(std::string& field, int recordLine)
    {
        ++m_at;
        for (;;) {
            if (m_at >= m_text.size())
                return CsvError{recordLine, "a quoted field is not closed"};
            const char character = m_text[m_at++];
            if (character == '\n' || (character == '\r' && (m_at >= m_text.size() || m_text[m_at] != '\n')))
                ++m_line;
            if (character != '"') {
                field += character;
                continue;
            }
            if (m_at < m_text.size() && m_text[m_at] == '"') {
                field += '"';
                ++m_at;
                continue;
            }
            if (m_at < m_text.size() && m_text[m_at] != m_separator && !atLineEnd())
                return CsvError{m_line, "a quote inside a quoted field must be doubled"};
            return std::nullopt;
        }
    }

    std::string_view m_text;
    char m_separator;
    std::size_t m_at = 0;
    int m_line = 1;
};

} // namespace

std::variant<CsvTable, CsvError> readCsv(std::string_view text)
{
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    return CsvReader(text, separatorOf(text)).read();
}

} // namespace telvor
