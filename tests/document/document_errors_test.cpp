// Documents that must not change anything: each error with its place, the
// setting's path and the exact reason, every error of the document listed
// in the order of the document, and the image left byte for byte as it was.
#include "document/settings_document.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <vector>

namespace telvor {
namespace {

struct ErrorRow {
    const char* name;
    std::string document;
    std::vector<std::string> errors;
};

void PrintTo(const ErrorRow& row, std::ostream* out)
{
    *out << row.name;
}

class DocumentErrors : public testing::TestWithParam<ErrorRow> {};

TEST_P(DocumentErrors, AreListedAndChangeNothing)
{
    SettingsImage image;
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        image.bytes()[offset] = static_cast<std::uint8_t>(offset * 7 + 3);
    const SettingsImage before = image;
    std::vector<std::string> lines;
    for (const DocumentError& error : applyDocument(GetParam().document, image))
        lines.push_back(errorLine("site.yaml", error));
    EXPECT_EQ(lines, GetParam().errors);
    EXPECT_EQ(image, before);
}

constexpr const char* kFormat = "format: telvor-settings 1\n";

std::string withFormat(const std::string& body)
{
    return kFormat + body;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Shape, DocumentErrors,
    testing::Values(
        ErrorRow{"MalformedYaml", withFormat("basic: [1, 2\n"),
                 {"site.yaml:3:1: malformed YAML: end of sequence flow not found"}},
        ErrorRow{"KeyGivenTwice", withFormat("basic:\n  pin: \"1\"\n  pin: \"2\"\n"),
                 {"site.yaml:4:3: basic.pin: given twice; first on line 3"}},
        ErrorRow{"UnknownPath", withFormat("basic:\n  pinn: \"1234\"\n"),
                 {"site.yaml:3:3: basic.pinn: unknown setting"}},
        ErrorRow{"UnknownEditor", withFormat("basics:\n  pin: \"1234\"\n"),
                 {"site.yaml:2:1: basics: unknown setting"}},
        ErrorRow{"InputThatDoesNotExist", withFormat("inputs:\n  L9:\n    type: T\n"),
                 {"site.yaml:3:3: inputs.L9: unknown setting"}},
        ErrorRow{"GroupGivenAValue", withFormat("inputs:\n  L1: T\n"),
                 {"site.yaml:3:7: inputs.L1: a group of settings, not one setting"}},
        ErrorRow{"MissingFormat", "basic:\n  pin: \"1234\"\n",
                 {"site.yaml:1:1: format: missing: a settings document begins with \"format: telvor-settings 1\""}},
        ErrorRow{"EmptyDocument", "",
                 {"site.yaml:1:1: format: missing: a settings document begins with \"format: telvor-settings 1\""}},
        ErrorRow{"LaterFormat", "format: telvor-settings 2\n",
                 {"site.yaml:1:9: format: this program reads \"telvor-settings 1\""}},
        ErrorRow{"NotAMapping", "- format\n",
                 {"site.yaml:1:1: a settings document is a mapping that begins with \"format: telvor-settings 1\"",
                  "site.yaml:1:1: format: missing: a settings document begins with \"format: telvor-settings 1\""}},
        ErrorRow{"TwoYamlDocuments", withFormat("---\nformat: telvor-settings 1\n"),
                 {"site.yaml:3:1: a settings document is one YAML document"}},
        // A value-less comma once kept the YAML reader handing out empty
        // documents until memory ran out.
        ErrorRow{"StrayComma", ",\n", {"site.yaml:1:1: malformed YAML: unexpected ','"}},
        ErrorRow{"StrayCommaAfterADocument", withFormat("---\n, basic\n"),
                 {"site.yaml:3:1: malformed YAML: unexpected ','"}},
        ErrorRow{"StrayCommaAfterAByte", ",\x01\n", {"site.yaml:1:1: malformed YAML: unexpected ','"}}),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Values, DocumentErrors,
    testing::Values(
        ErrorRow{"CheckBoxOfAnotherSpelling", withFormat("basic:\n  pin_active: yes\n"),
                 {"site.yaml:3:15: basic.pin_active: Please enter true or false."}},
        ErrorRow{"QuotedCheckBox", withFormat("basic:\n  pin_active: \"true\"\n"),
                 {"site.yaml:3:15: basic.pin_active: Please enter true or false."}},
        ErrorRow{"NumberOutOfRange", withFormat("inputs:\n  insensitivity_l1_l4: 256\n"),
                 {"site.yaml:3:24: inputs.insensitivity_l1_l4: Please enter an integer between 0 and 255."}},
        ErrorRow{"NumberNotAnInteger", withFormat("basic:\n  sms_limit_per_day: 12.5\n"),
                 {"site.yaml:3:22: basic.sms_limit_per_day: Please enter an integer."}},
        ErrorRow{"QuotedNumber", withFormat("basic:\n  sms_limit_per_day: \"12\"\n"),
                 {"site.yaml:3:22: basic.sms_limit_per_day: Please enter an integer."}},
        ErrorRow{"ScalingFactorTheDialogRefuses", withFormat("scaling:\n  L1:\n    a: -32768\n"),
                 {"site.yaml:4:8: scaling.L1.a: Please enter an integer between -32767 and 32767."}},
        ErrorRow{"TextTooLongForItsField", withFormat("basic:\n  num_1: \"+4860010020177771\"\n"),
                 {"site.yaml:3:10: basic.num_1: Please enter no more than 16 characters."}},
        ErrorRow{"FieldWithoutALimitInTheDialogStillHasItsWidth",
                 withFormat("internet:\n  apn_name: \"" + std::string(33, 'a') + "\"\n"),
                 {"site.yaml:3:13: internet.apn_name: Please enter no more than 32 characters."}},
        ErrorRow{"BalanceCodeOfNineCharacters", withFormat("basic:\n  balance_check_code: \"*101*234#\"\n"),
                 {"site.yaml:3:23: basic.balance_check_code: Please enter no more than 8 characters."}},
        ErrorRow{"CharacterWindows1250CannotStore", withFormat("messages:\n  L1: \"alarm ✓\"\n"),
                 {"site.yaml:3:7: messages.L1: Windows-1250 cannot store the character \"✓\""}},
        ErrorRow{"EscapeOfACharacterWithoutAByte", withFormat("messages:\n  L1: \"\\x80\"\n"),
                 {"site.yaml:3:7: messages.L1: Windows-1250 cannot store the character \"\u0080\""}},
        ErrorRow{"CharacterThatEndsATextOnTheDevice", withFormat("messages:\n  L2: \"a˙b\"\n"),
                 {"site.yaml:3:7: messages.L2: a text cannot hold the character \"˙\", which ends it"}},
        ErrorRow{"ZeroByteInAText", withFormat("messages:\n  L2: \"a\\x00b\"\n"),
                 {"site.yaml:3:7: messages.L2: a text cannot hold the character \"\\x00\", which ends it"}},
        ErrorRow{"TextThatIsNotUtf8", withFormat("messages:\n  L3: \"\xA3\xF3\"\n"),
                 {"site.yaml:3:7: messages.L3: the text is not UTF-8"}},
        ErrorRow{"ListForAText", withFormat("basic:\n  pin: [1, 2]\n"),
                 {"site.yaml:3:8: basic.pin: Please enter a text."}},
        ErrorRow{"RawForAText", withFormat("basic:\n  pin: {raw: 1}\n"),
                 {"site.yaml:3:8: basic.pin: Please enter a text."}},
        ErrorRow{"TypeBoxTheRowDoesNotHave", withFormat("inputs:\n  L2:\n    type: TR\n"),
                 {"site.yaml:4:11: inputs.L2.type: Please enter one of: none, T, D, RH, S, RR, PT."}},
        ErrorRow{"UnknownChoice", withFormat("csd_port:\n  speed: 115200\n"),
                 {"site.yaml:3:10: csd_port.speed: Please enter one of: 1200, 2400, 4800, 9600, 14400, 19200."}},
        ErrorRow{"UnknownListMember", withFormat("basic:\n  waking_hours_days: [Mo, Mon]\n"),
                 {"site.yaml:3:27: basic.waking_hours_days: Please enter a list of: Mo, Tu, We, Th, Fr, Sa, Su, D-o."}},
        ErrorRow{"SingleMemberWithoutAList", withFormat("authorization:\n  periodical_report_to: 1\n"),
                 {"site.yaml:3:25: authorization.periodical_report_to: Please enter a list of: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10."}},
        ErrorRow{"HourOutOfRange", withFormat("basic:\n  report_hours: [8, 24]\n"),
                 {"site.yaml:3:21: basic.report_hours: Please enter an integer between 0 and 23."}},
        ErrorRow{"HoursAsText", withFormat("basic:\n  report_hours: 8,20\n"),
                 {"site.yaml:3:17: basic.report_hours: Please enter a list of hours from 0 to 23, such as [8, 12, 20]."}},
        ErrorRow{"ThresholdBeyondTheUnit", withFormat("inputs:\n  L1:\n    type: RH\n    low_threshold: 101\n"),
                 {"site.yaml:5:20: inputs.L1.low_threshold: Please enter a number between 0 and 100."}},
        ErrorRow{"ThresholdBelowAbsoluteZero", withFormat("inputs:\n  L1:\n    type: T\n    low_threshold: -300\n"),
                 {"site.yaml:5:20: inputs.L1.low_threshold: Please enter a number between -273.2 and 6280.3."}},
        ErrorRow{"ThresholdWithItsUnit", withFormat("inputs:\n  L1:\n    type: T\n    low_threshold: 25.0 'C\n"),
                 {"site.yaml:5:20: inputs.L1.low_threshold: Please enter a number."}},
        ErrorRow{"DelayWithoutANumber", withFormat("inputs:\n  L1:\n    delayed_alarm_time: soon\n"),
                 {"site.yaml:4:25: inputs.L1.delayed_alarm_time: Please enter a delay in seconds, minutes or hours, "
                  "such as \"30s\", \"5m\" or \"2h\"."}},
        ErrorRow{"DelayBeyondItsByte", withFormat("inputs:\n  L1:\n    delayed_alarm_time: 127m\n"),
                 {"site.yaml:4:25: inputs.L1.delayed_alarm_time: Please enter an integer between 0 and 126."}},
        ErrorRow{"RawWithBitsOfAnotherSetting", withFormat("outputs:\n  O1:\n    mode: {raw: 1}\n"),
                 {"site.yaml:4:11: outputs.O1.mode: a raw value here holds only the bits 0xFE"}},
        ErrorRow{"RawBeyondTheField", withFormat("basic:\n  sms_limit_per_day: {raw: 256}\n"),
                 {"site.yaml:3:22: basic.sms_limit_per_day: Please enter an integer between 0 and 255."}},
        ErrorRow{"RawThatIsNoInteger", withFormat("basic:\n  sms_limit_per_day: {raw: five}\n"),
                 {"site.yaml:3:28: basic.sms_limit_per_day: Please enter an integer."}},
        ErrorRow{"NegativeRaw", withFormat("basic:\n  network_code: {raw: -1}\n"),
                 {"site.yaml:3:17: basic.network_code: Please enter an integer between 0 and 65535."}}),
    test_support::RowName());

// Every error of a document, in its order, whatever the order of the checks.
INSTANTIATE_TEST_SUITE_P(
    Several, DocumentErrors,
    testing::Values(
        ErrorRow{"AllListedInTheDocumentsOrder",
                 "basic:\n  pin: \"123456789\"\n  pinn: 1\ninputs:\n  L1:\n    type: X\n"
                 "    low_threshold: 1\n  insensitivity_l1_l4: -1\n",
                 {"site.yaml:1:1: format: missing: a settings document begins with \"format: telvor-settings 1\"",
                  "site.yaml:2:8: basic.pin: Please enter no more than 8 characters.",
                  "site.yaml:3:3: basic.pinn: unknown setting",
                  "site.yaml:6:11: inputs.L1.type: Please enter one of: none, T, D, RH, S, TR, PT.",
                  "site.yaml:8:24: inputs.insensitivity_l1_l4: Please enter an integer between 0 and 255."}}),
    test_support::RowName());
// clang-format on

} // namespace
} // namespace telvor
