#include "settings_document.h"

#include "document_reading.h"
#include "setting_value.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>

namespace telvor {
namespace {

// The export as a tree of names in the order their settings come.
struct OutputNode {
    std::string name;
    std::vector<OutputNode> children;
    std::optional<Value> value;

    OutputNode& child(const std::string& childName)
    {
        const auto found = std::find_if(children.begin(), children.end(),
                                        [&childName](const OutputNode& node) { return node.name == childName; });
        if (found != children.end())
            return *found;
        children.push_back(OutputNode{childName, {}, {}});
        return children.back();
    }
};

void emitValue(YAML::Emitter& out, const Value& value)
{
    switch (value.form) {
    case Value::Form::Quoted:
        out << YAML::DoubleQuoted << value.text;
        return;
    case Value::Form::List:
        out << YAML::Flow << YAML::BeginSeq;
        for (const Value::Item& item : value.items)
            out << item.text;
        out << YAML::EndSeq;
        return;
    case Value::Form::Raw:
        out << YAML::Flow << YAML::BeginMap << YAML::Key << "raw" << YAML::Value << value.raw << YAML::EndMap;
        return;
    case Value::Form::Plain:
    case Value::Form::Null:
    case Value::Form::Other:
        break;
    }
    out << value.text;
}

void emitNode(YAML::Emitter& out, const OutputNode& node)
{
    out << YAML::BeginMap;
    for (const OutputNode& child : node.children) {
        out << YAML::Key << child.name << YAML::Value;
        if (child.value)
            emitValue(out, *child.value);
        else
            emitNode(out, child);
    }
    out << YAML::EndMap;
}

// YAML allows DEL only as an escape, and the emitter writes it as it is. It
// can stand only in a text, which is always written in double quotes.
std::string withDeleteEscaped(std::string_view emitted)
{
    std::string text;
    text.reserve(emitted.size());
    for (const char character : emitted) {
        if (character == '\x7F')
            text += "\\x7f";
        else
            text += character;
    }
    return text;
}

} // namespace

std::string errorLine(std::string_view source, const DocumentError& error)
{
    std::string line(source);
    if (error.where.line > 0)
        line += ":" + std::to_string(error.where.line) + ":" + std::to_string(error.where.column);
    line += ": ";
    if (!error.path.empty())
        line += error.path + ": ";
    return line + error.reason;
}

std::string exportDocument(const SettingsImage& image)
{
    OutputNode root;
    root.child("format").value = Value::plain(std::string(kDocumentFormat));
    for (const Setting& setting : settings()) {
        OutputNode* node = &root;
        std::string_view rest = setting.path;
        while (!rest.empty()) {
            const std::size_t dot = rest.find('.');
            node = &node->child(std::string(rest.substr(0, dot)));
            rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
        }
        node->value = shownValue(image, setting);
    }
    YAML::Emitter out;
    emitNode(out, root);
    return withDeleteEscaped(out.c_str()) + "\n";
}

std::vector<DocumentError> applyDocument(std::string_view document, SettingsImage& image)
{
    DocumentReading reading = readDocument(document);
    SettingsImage changed = image;
    std::vector<DocumentError> errors = std::move(reading.errors);
    const std::vector<DocumentError> refusals = applyGivenValues(std::move(reading.values), changed);
    errors.insert(errors.end(), refusals.begin(), refusals.end());
    if (!errors.empty()) {
        std::stable_sort(errors.begin(), errors.end(),
                         [](const DocumentError& a, const DocumentError& b) { return a.where < b.where; });
        return errors;
    }
    image = changed;
    return errors;
}

} // namespace telvor
