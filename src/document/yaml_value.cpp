#include "yaml_value.h"

#include "editors/refusal_texts.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace telvor {
namespace {

bool isPlain(const YAML::Node& node)
{
    return node.Tag() == "?";
}

// The digits as a number; beyond 64 bits, and any sign, it saturates, which
// no setting's bits can hold.
std::optional<std::uint64_t> rawNumber(const YAML::Node& node)
{
    if (!node.IsScalar() || !isPlain(node))
        return std::nullopt;
    std::string_view text = node.Scalar();
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t number = 0;
    for (const char digit : text)
        number = number > (kLargest - (digit - '0')) / 10 ? kLargest : number * 10 + (digit - '0');
    return negative && number != 0 ? kLargest : number;
}

bool isRawMapping(const YAML::Node& node)
{
    if (!node.IsMap() || node.size() != 1)
        return false;
    const YAML::Node key = node.begin()->first;
    return key.IsScalar() && isPlain(key) && key.Scalar() == "raw";
}

} // namespace

Position positionOf(const YAML::Mark& mark, Position fallback)
{
    if (mark.is_null())
        return fallback;
    return {mark.line + 1, mark.column + 1};
}

std::variant<Value, Refusal> valueOfNode(const YAML::Node& node, Position fallback)
{
    Value value;
    value.where = positionOf(node.Mark(), fallback);
    switch (node.Type()) {
    case YAML::NodeType::Scalar:
        value.form = isPlain(node) ? Value::Form::Plain : Value::Form::Quoted;
        value.text = node.Scalar();
        return value;
    case YAML::NodeType::Sequence:
        value.form = Value::Form::List;
        for (const YAML::Node& item : node) {
            if (!item.IsScalar()) {
                value.form = Value::Form::Other;
                value.items.clear();
                return value;
            }
            value.items.push_back({item.Scalar(), isPlain(item), positionOf(item.Mark(), value.where)});
        }
        return value;
    case YAML::NodeType::Map:
        if (!isRawMapping(node)) {
            value.form = Value::Form::Other;
            return value;
        }
        {
            const YAML::Node number = node.begin()->second;
            const std::optional<std::uint64_t> raw = rawNumber(number);
            if (!raw)
                return Refusal{integerMessage(), positionOf(number.Mark(), value.where)};
            value.form = Value::Form::Raw;
            value.raw = *raw;
        }
        return value;
    case YAML::NodeType::Null:
    case YAML::NodeType::Undefined:
        break;
    }
    value.form = Value::Form::Null;
    return value;
}

} // namespace telvor
