#include "yaml_stream.h"

#include <yaml-cpp/eventhandler.h>

#include <cctype>
#include <sstream>

namespace telvor {
namespace {

// Where each document of a stream begins, and where its value does.
class DocumentMarks final : public YAML::EventHandler {
public:
    struct Document {
        YAML::Mark start;
        YAML::Mark value = YAML::Mark::null_mark();
        bool valueSeen = false;
    };

    const std::vector<Document>& documents() const { return m_documents; }

    void OnDocumentStart(const YAML::Mark& mark) override { m_documents.push_back({mark}); }
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark& mark, YAML::anchor_t) override { valueAt(mark); }
    void OnAlias(const YAML::Mark& mark, YAML::anchor_t) override { valueAt(mark); }
    void OnScalar(const YAML::Mark& mark, const std::string&, YAML::anchor_t, const std::string&) override
    {
        valueAt(mark);
    }
    void OnSequenceStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override
    {
        valueAt(mark);
    }
    void OnSequenceEnd() override {}
    void OnMapStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override
    {
        valueAt(mark);
    }
    void OnMapEnd() override {}

private:
    void valueAt(const YAML::Mark& mark)
    {
        Document& document = m_documents.back();
        if (!document.valueSeen)
            document.value = mark;
        document.valueSeen = true;
    }

    std::vector<Document> m_documents;
};

std::string unexpectedAt(const std::string& text, const YAML::Mark& mark)
{
    const auto at = static_cast<std::size_t>(mark.pos);
    if (at < text.size() && std::isprint(static_cast<unsigned char>(text[at])))
        return std::string("unexpected '") + text[at] + "'";
    return "unexpected byte";
}

} // namespace

YamlStream readYamlStream(const std::string& text)
{
    std::istringstream input(text);
    YAML::Parser parser(input);
    DocumentMarks marks;
    while (parser.HandleNextDocument(marks)) {
        const std::vector<DocumentMarks::Document>& documents = marks.documents();
        // A document that begins where the one before it began consumed
        // nothing: the next one would begin there again.
        if (documents.size() > 1 && documents.back().start.pos == documents[documents.size() - 2].start.pos)
            throw YAML::ParserException(documents.back().start, unexpectedAt(text, documents.back().start));
    }
    YamlStream stream;
    stream.first = YAML::Load(text);
    for (std::size_t index = 1; index < marks.documents().size(); ++index)
        stream.laterDocuments.push_back(marks.documents()[index].value);
    return stream;
}

} // namespace telvor
