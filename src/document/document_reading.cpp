#include "document_reading.h"

#include "yaml_stream.h"
#include "yaml_value.h"

#include <map>

namespace telvor {
namespace {

// The settings' paths as a tree of names: a group's names lead on, a
// setting's name ends its path.
struct PathNode {
    std::map<std::string, PathNode, std::less<>> children;
    const Setting* setting = nullptr;
};

const PathNode& pathTree()
{
    static const PathNode root = [] {
        PathNode tree;
        for (const Setting& setting : settings()) {
            PathNode* node = &tree;
            std::string_view rest = setting.path;
            while (!rest.empty()) {
                const std::size_t dot = rest.find('.');
                node = &node->children[std::string(rest.substr(0, dot))];
                rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
            }
            node->setting = &setting;
        }
        return tree;
    }();
    return root;
}

constexpr Position kDocumentStart{1, 1};

class Reader {
public:
    DocumentReading read(std::string_view text);

private:
    void readGroup(const YAML::Node& mapping, const PathNode& group, const std::string& prefix);
    void readFormat(const YAML::Node& value, Position keyPosition);
    void error(Position where, std::string path, std::string reason)
    {
        m_reading.errors.push_back({where, std::move(path), std::move(reason)});
    }

    DocumentReading m_reading;
    bool m_formatSeen = false;
};

DocumentReading Reader::read(std::string_view text)
{
    YamlStream stream;
    try {
        stream = readYamlStream(std::string(text));
    } catch (const YAML::Exception& failure) {
        error(positionOf(failure.mark, kDocumentStart), "", "malformed YAML: " + failure.msg);
        return std::move(m_reading);
    }
    if (!stream.laterDocuments.empty())
        error(positionOf(stream.laterDocuments.front(), kDocumentStart), "",
              "a settings document is one YAML document");
    if (stream.first.IsMap())
        readGroup(stream.first, pathTree(), "");
    else if (!stream.first.IsNull())
        error(positionOf(stream.first.Mark(), kDocumentStart), "",
              "a settings document is a mapping that begins with \"format: " + std::string(kDocumentFormat) + "\"");
    if (!m_formatSeen)
        error(kDocumentStart, "format",
              "missing: a settings document begins with \"format: " + std::string(kDocumentFormat) + "\"");
    return std::move(m_reading);
}

void Reader::readFormat(const YAML::Node& value, Position keyPosition)
{
    m_formatSeen = true;
    if (!value.IsScalar() || value.Scalar() != kDocumentFormat)
        error(positionOf(value.Mark(), keyPosition), "format",
              "this program reads \"" + std::string(kDocumentFormat) + "\"");
}

void Reader::readGroup(const YAML::Node& mapping, const PathNode& group, const std::string& prefix)
{
    std::map<std::string, Position> seen;
    for (const auto& pair : mapping) {
        const Position keyPosition = positionOf(pair.first.Mark(), kDocumentStart);
        if (!pair.first.IsScalar()) {
            error(keyPosition, prefix, "a key must be a name");
            continue;
        }
        const std::string& name = pair.first.Scalar();
        const std::string path = prefix.empty() ? name : prefix + "." + name;
        if (const auto first = seen.find(name); first != seen.end()) {
            error(keyPosition, path, "given twice; first on line " + std::to_string(first->second.line));
            continue;
        }
        seen.emplace(name, keyPosition);
        if (prefix.empty() && name == "format") {
            readFormat(pair.second, keyPosition);
            continue;
        }
        const auto child = group.children.find(name);
        if (child == group.children.end()) {
            error(keyPosition, path, "unknown setting");
            continue;
        }
        const PathNode& node = child->second;
        if (node.setting) {
            auto value = valueOfNode(pair.second, keyPosition);
            if (const Refusal* refusal = std::get_if<Refusal>(&value))
                error(refusal->where, path, refusal->reason);
            else
                m_reading.values.push_back({node.setting, std::get<Value>(std::move(value))});
        } else if (pair.second.IsMap()) {
            readGroup(pair.second, node, path);
        } else if (!pair.second.IsNull()) {
            error(positionOf(pair.second.Mark(), keyPosition), path, "a group of settings, not one setting");
        }
    }
}

} // namespace

DocumentReading readDocument(std::string_view text)
{
    return Reader().read(text);
}

} // namespace telvor
