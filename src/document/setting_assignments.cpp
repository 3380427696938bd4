// telvorctl set's PATH=VALUE arguments, read as one document.
#include "given_values.h"
#include "settings_document.h"
#include "yaml_value.h"

#include <set>

namespace telvor {
namespace {

// A text is the VALUE as written, unless it begins with a quote; everything
// else is a YAML flow value.
std::variant<Value, Refusal> valueOfArgument(const std::string& text, const Setting& setting)
{
    if (holdsText(setting.kind()) && !text.starts_with('"') && !text.starts_with('\''))
        return Value::quoted(text);
    try {
        return valueOfNode(YAML::Load(text), {});
    } catch (const YAML::Exception& failure) {
        return Refusal{"malformed YAML: " + failure.msg, {}};
    }
}

} // namespace

std::vector<DocumentError> applyAssignments(std::span<const std::string> assignments, SettingsImage& image)
{
    std::vector<GivenValue> values;
    std::vector<DocumentError> errors;
    std::set<const Setting*> given;
    for (const std::string& assignment : assignments) {
        const std::size_t equals = assignment.find('=');
        if (equals == std::string::npos) {
            errors.push_back({{}, assignment, "Please write PATH=VALUE."});
            continue;
        }
        const std::string path = assignment.substr(0, equals);
        const Setting* setting = findSetting(path);
        if (!setting) {
            errors.push_back({{}, path, "unknown setting"});
            continue;
        }
        if (!given.insert(setting).second) {
            errors.push_back({{}, path, "given twice"});
            continue;
        }
        auto value = valueOfArgument(assignment.substr(equals + 1), *setting);
        if (const Refusal* refusal = std::get_if<Refusal>(&value))
            errors.push_back({{}, path, refusal->reason});
        else
            values.push_back({setting, std::get<Value>(std::move(value))});
    }
    SettingsImage changed = image;
    const std::vector<DocumentError> refusals = applyGivenValues(std::move(values), changed);
    errors.insert(errors.end(), refusals.begin(), refusals.end());
    // Places inside one argument mean nothing on a command line.
    for (DocumentError& error : errors)
        error.where = {};
    if (errors.empty())
        image = changed;
    return errors;
}

} // namespace telvor
