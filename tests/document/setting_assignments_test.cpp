// telvorctl set's PATH=VALUE arguments: each value read for its setting's
// kind, all of them applied together or none, every error named by its path.
#include "document/factory_defaults.h"
#include "document/setting_table.h"
#include "document/setting_value.h"
#include "document/settings_document.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

struct AssignmentRow {
    const char* name;
    std::vector<std::string> assignments;
    // The path and the value it shows afterwards; empty when it is refused.
    std::vector<std::pair<std::string, Value>> shown;
    std::vector<std::string> errors;
};

void PrintTo(const AssignmentRow& row, std::ostream* out)
{
    *out << row.name;
}

class Assignments : public testing::TestWithParam<AssignmentRow> {};

TEST_P(Assignments, AreReadForTheirSettingsKind)
{
    const AssignmentRow& row = GetParam();
    SettingsImage image = factoryDefaults();
    const SettingsImage before = image;
    std::vector<std::string> errors;
    for (const DocumentError& error : applyAssignments(row.assignments, image))
        errors.push_back(errorLine("set", error));
    EXPECT_EQ(errors, row.errors);
    if (!row.errors.empty()) {
        EXPECT_EQ(image, before);
        return;
    }
    for (const auto& [path, value] : row.shown)
        EXPECT_EQ(shownValue(image, *findSetting(path)), value) << path;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Values, Assignments,
    testing::Values(
        AssignmentRow{"DigitsOfATextStayAText", {"basic.pin=1234"}, {{"basic.pin", Value::quoted("1234")}}, {}},
        AssignmentRow{"TelephoneNumberAsWritten", {"basic.num_3=+48600100200"},
                      {{"basic.num_3", Value::quoted("+48600100200")}}, {}},
        AssignmentRow{"TextWithColonsAndAtSigns", {"messages.L1=Alarm: @UL @SL # check"},
                      {{"messages.L1", Value::quoted("Alarm: @UL @SL # check")}}, {}},
        AssignmentRow{"SplitAtTheFirstEquals", {"internet.message=/r.php?id=@ID&x=1"},
                      {{"internet.message", Value::quoted("/r.php?id=@ID&x=1")}}, {}},
        AssignmentRow{"QuotedTextWithEscapes", {R"(internet.apn_name="a\x81b")"},
                      {{"internet.apn_name", Value::quoted("a\u0081b")}}, {}},
        AssignmentRow{"EmptyText", {"basic.pin="}, {{"basic.pin", Value::quoted("")}}, {}},
        AssignmentRow{"Number", {"basic.sms_limit_per_day=20"}, {{"basic.sms_limit_per_day", Value::plain("20")}}, {}},
        AssignmentRow{"CheckBox", {"basic.periodical_report=true"},
                      {{"basic.periodical_report", Value::plain("true")}}, {}},
        AssignmentRow{"FlowList", {"basic.report_hours=[8,20]"}, {{"basic.report_hours", Value::list({"8", "20"})}}, {}},
        AssignmentRow{"Choice", {"outputs.O1.mode=L1(LOW) signaling"},
                      {{"outputs.O1.mode", Value::plain("L1(LOW) signaling")}}, {}},
        AssignmentRow{"Raw", {"basic.network_code={raw: 65535}"}, {{"basic.network_code", Value::rawBits(65535)}}, {}},
        AssignmentRow{"TypeReadBeforeTheThresholdWhateverTheOrder",
                      {"inputs.L1.low_threshold=25.0", "inputs.L1.type=T"},
                      {{"inputs.L1.low_threshold", Value::plain("25.0")}, {"inputs.L1.type", Value::plain("T")}}, {}}),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Refused, Assignments,
    testing::Values(
        AssignmentRow{"NoEquals", {"basic.pin"}, {}, {"set: basic.pin: Please write PATH=VALUE."}},
        AssignmentRow{"UnknownPath", {"basic.pinn=1"}, {}, {"set: basic.pinn: unknown setting"}},
        AssignmentRow{"GroupIsNoSetting", {"basic=1"}, {}, {"set: basic: unknown setting"}},
        AssignmentRow{"GivenTwice", {"basic.pin=1", "basic.pin=2"}, {}, {"set: basic.pin: given twice"}},
        AssignmentRow{"OutOfRange", {"basic.sms_limit_per_day=256"}, {},
                      {"set: basic.sms_limit_per_day: Please enter an integer between 0 and 255."}},
        AssignmentRow{"HoursWithoutBrackets", {"basic.report_hours=8,20"}, {},
                      {"set: basic.report_hours: Please enter a list of hours from 0 to 23, such as [8, 12, 20]."}},
        AssignmentRow{"MalformedFlowValue", {"basic.report_hours=[8,20"}, {},
                      {"set: basic.report_hours: malformed YAML: end of sequence flow not found"}},
        AssignmentRow{"TooLong", {"basic.pin=123456789"}, {},
                      {"set: basic.pin: Please enter no more than 8 characters."}},
        AssignmentRow{"OneBadArgumentStopsAll", {"basic.pin=1234", "basic.periodical_report=yes"}, {},
                      {"set: basic.periodical_report: Please enter true or false."}},
        AssignmentRow{"EveryErrorListed", {"basic.pinn=1", "basic.sms_limit=maybe", "inputs.L1.type=X"}, {},
                      {"set: basic.pinn: unknown setting", "set: basic.sms_limit: Please enter true or false.",
                       "set: inputs.L1.type: Please enter one of: none, T, D, RH, S, TR, PT."}}),
    test_support::RowName());
// clang-format on

} // namespace
} // namespace telvor
