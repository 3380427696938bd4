// A document's value and the dialog agree: a value applied onto an all-zero
// image opens in its editor as the control the path is named after, so that
// the table's bits are the editors' bits.
#include "document/settings_document.h"
#include "document_text.h"
#include "support/row_name.h"

#include "editors/authorization.h"
#include "editors/basic_settings.h"
#include "editors/csd_serial_port.h"
#include "editors/email_notifications.h"
#include "editors/extended_lines.h"
#include "editors/input_settings.h"
#include "editors/internet_access.h"
#include "editors/message_bodies.h"
#include "editors/outputs.h"
#include "editors/scaling.h"

#include <gtest/gtest.h>

#include <functional>

namespace telvor {
namespace {

using test_support::documentGiving;

template <typename Editor>
Editor opened(SettingsImage image)
{
    Editor editor;
    editor.unpack(image);
    return editor;
}

struct AgreementRow {
    const char* name;
    std::string document;
    std::function<bool(const SettingsImage&)> opensAs;
};

void PrintTo(const AgreementRow& row, std::ostream* out)
{
    *out << row.name;
}

class EditorAgreement : public testing::TestWithParam<AgreementRow> {};

TEST_P(EditorAgreement, ValueOpensAsItsControl)
{
    SettingsImage image;
    const std::vector<DocumentError> errors = applyDocument(GetParam().document, image);
    ASSERT_TRUE(errors.empty()) << errorLine("doc", errors.front());
    EXPECT_TRUE(GetParam().opensAs(image));
}

AgreementRow row(const char* name, std::string_view path, std::string_view value,
                 std::function<bool(const SettingsImage&)> opensAs)
{
    return {name, documentGiving(path, value), std::move(opensAs)};
}

using Image = const SettingsImage&;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Basic, EditorAgreement,
    testing::Values(
        row("PinActive", "basic.pin_active", "true", [](Image i) { return opened<BasicSettings>(i).pinActive == 1; }),
        row("PeriodicalReport", "basic.periodical_report", "true",
            [](Image i) { return opened<BasicSettings>(i).periodicalReport == 1; }),
        row("OnlyInAlarmState", "basic.periodical_report_only_in_alarm_state", "true",
            [](Image i) { return opened<BasicSettings>(i).reportOnlyInAlarmState == 1; }),
        row("ReportAfterC1", "basic.report_after_c1_change", "true",
            [](Image i) { return opened<BasicSettings>(i).reportAfterC1Change == 1; }),
        row("SmsLimit", "basic.sms_limit", "true", [](Image i) { return opened<BasicSettings>(i).smsLimitActive == 1; }),
        row("Acknowledges", "basic.send_acknowledges", "true",
            [](Image i) { return opened<BasicSettings>(i).acknowledges == 1; }),
        row("Lcd", "basic.lcd_support", "true", [](Image i) { return opened<BasicSettings>(i).lcdSupport == 1; }),
        row("LoggingInWakingHours", "basic.logging_only_in_waking_hours", "true",
            [](Image i) { return opened<BasicSettings>(i).loggingOnlyInWakingHours == 1; }),
        row("LoggingFaster", "basic.logging_faster_in_alarm_state", "true",
            [](Image i) { return opened<BasicSettings>(i).loggingFasterInAlarmState == 1; }),
        row("ReportDays", "basic.report_hours_days", "[We]", [](Image i) { return opened<BasicSettings>(i).days[0][2] == 1; }),
        row("WakingDays", "basic.waking_hours_days", "[Su]", [](Image i) { return opened<BasicSettings>(i).days[1][6] == 1; }),
        row("PeriodicalDays", "basic.periodical_report_days", "[D-o]",
            [](Image i) { return opened<BasicSettings>(i).days[2][7] == 1; }),
        row("ReportHours", "basic.report_hours", "[17, 3]",
            [](Image i) { return opened<BasicSettings>(i).reportHours == "3,17"; }),
        row("WakingHours", "basic.waking_hours", "[6]", [](Image i) { return opened<BasicSettings>(i).wakingHours == "6"; }),
        row("ReportPeriod", "basic.periodical_report_period", "15",
            [](Image i) { return opened<BasicSettings>(i).reportPeriodMinutes == 15; }),
        row("SmsPerDay", "basic.sms_limit_per_day", "9", [](Image i) { return opened<BasicSettings>(i).smsPerDay == 9; }),
        row("LoggingPeriod", "basic.logging_period", "5",
            [](Image i) { return opened<BasicSettings>(i).loggingPeriodMinutes == 5; }),
        row("BalanceHour", "basic.balance_check_hour", "7",
            [](Image i) { return opened<BasicSettings>(i).balanceCheckHour == 7; }),
        row("NetworkCode", "basic.network_code", "26001",
            [](Image i) { return opened<BasicSettings>(i).networkCode == 26001; }),
        row("Smsc", "basic.smsc", "+48601000310", [](Image i) { return opened<BasicSettings>(i).smsc == "+48601000310"; }),
        row("NumberSeven", "basic.num_7", "\"7\"", [](Image i) { return opened<BasicSettings>(i).numbers[6] == "7"; }),
        row("Pin", "basic.pin", "\"1111\"", [](Image i) { return opened<BasicSettings>(i).pin == "1111"; }),
        row("BalanceCode", "basic.balance_check_code", "\"*101*23#\"",
            [](Image i) { return opened<BasicSettings>(i).balanceCheckCode == "*101*23#"; })),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Authorization, EditorAgreement,
    testing::Values(
        row("ReportToNumberSeven", "authorization.periodical_report_to", "[7]",
            [](Image i) { return opened<Authorization>(i).periodicalReport[6] == 1; }),
        row("OnDemandFromNumberTwo", "authorization.on_demand_report_from", "[2]",
            [](Image i) { return opened<Authorization>(i).onDemandReport[1] == 1; }),
        row("OnDemandFromAnyone", "authorization.on_demand_report_from", "[ANYONE]",
            [](Image i) { return opened<Authorization>(i).onDemandReportAnyone == 1; }),
        row("ControlFromNumberNine", "authorization.sms_remote_control_from", "[9]",
            [](Image i) { return opened<Authorization>(i).remoteControl[8] == 1; }),
        row("ControlFromAnyone", "authorization.sms_remote_control_from", "[ANYONE]",
            [](Image i) { return opened<Authorization>(i).remoteControlAnyone == 1; }),
        row("CsdFromNumberFourAndAnyone", "authorization.csd_modem_connection_from", "[4, ANYONE]", [](Image i) {
            const Authorization a = opened<Authorization>(i);
            return a.csdConnection[3] == 1 && a.csdConnectionAnyone == 1;
        })),
    test_support::RowName());

bool inputType(Image i, int input, InputType type)
{
    return opened<InputSettings>(i).inputs[input - 1].type(type) == 1;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, EditorAgreement,
    testing::Values(
        row("T", "inputs.L3.type", "T", [](Image i) { return inputType(i, 3, InputType::T); }),
        row("D", "inputs.L3.type", "D", [](Image i) { return inputType(i, 3, InputType::D); }),
        row("RH", "inputs.L3.type", "RH", [](Image i) { return inputType(i, 3, InputType::RH); }),
        row("S", "inputs.L3.type", "S", [](Image i) { return inputType(i, 3, InputType::S); }),
        row("TR", "inputs.L3.type", "TR", [](Image i) { return inputType(i, 3, InputType::TR); }),
        row("RR", "inputs.L4.type", "RR", [](Image i) { return inputType(i, 4, InputType::RR); }),
        row("PT", "inputs.L6.type", "PT", [](Image i) { return inputType(i, 6, InputType::PT); }),
        row("HL", "inputs.L6.high_to_low_alarm", "true",
            [](Image i) { return opened<InputSettings>(i).inputs[5].highToLow == 1; }),
        row("LH", "inputs.L6.low_to_high_alarm", "true",
            [](Image i) { return opened<InputSettings>(i).inputs[5].lowToHigh == 1; }),
        row("SmsNumbers", "inputs.L6.sms_to", "[3, 8]", [](Image i) {
            const InputRow r = opened<InputSettings>(i).inputs[5];
            return r.sms[2] == 1 && r.sms[7] == 1;
        }),
        row("R", "inputs.L6.ring_before_sms", "true", [](Image i) { return opened<InputSettings>(i).inputs[5].ring == 1; }),
        row("N", "inputs.L6.notify_return_to_normal", "true",
            [](Image i) { return opened<InputSettings>(i).inputs[5].notifyReturn == 1; }),
        row("C", "inputs.L6.notify_only_in_waking_hours", "true",
            [](Image i) { return opened<InputSettings>(i).inputs[5].wakingHoursOnly == 1; }),
        row("F", "inputs.L6.limit_notification_frequency", "true",
            [](Image i) { return opened<InputSettings>(i).inputs[5].limitFrequency == 1; }),
        row("Delay", "inputs.L6.delayed_alarm_time", "\"5m\"",
            [](Image i) { return opened<InputSettings>(i).inputs[5].delay == "5m"; }),
        AgreementRow{"DegreesThreshold", "format: telvor-settings 1\ninputs:\n  L6: {type: D, low_threshold: 25.0}\n",
                     [](Image i) { return opened<InputSettings>(i).inputs[5].lowThreshold == "25.0 'C"; }},
        row("MillivoltThreshold", "inputs.L6.high_threshold", "1500",
            [](Image i) { return opened<InputSettings>(i).inputs[5].highThreshold == "1500 mV"; }),
        row("InsensitivityL1ToL4", "inputs.insensitivity_l1_l4", "30",
            [](Image i) { return opened<InputSettings>(i).insensitivityL1toL4 == 30; }),
        row("InsensitivityL5ToL8", "inputs.insensitivity_l5_l8", "40",
            [](Image i) { return opened<InputSettings>(i).insensitivityL5toL8 == 40; }),
        row("LowState", "inputs.alarm_state_low", "[L2]",
            [](Image i) { return opened<InputSettings>(i).lowStateAlarm[1] == 1; }),
        row("HighState", "inputs.alarm_state_high", "[L7]",
            [](Image i) { return opened<InputSettings>(i).highStateAlarm[6] == 1; })),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Messages, EditorAgreement,
    testing::Values(
        row("PeriodicalReport", "messages.periodical_report", "report",
            [](Image i) { return opened<MessageBodies>(i).bodies[0] == "report"; }),
        row("InputL5", "messages.L5", "five", [](Image i) { return opened<MessageBodies>(i).bodies[5] == "five"; }),
        row("OnDemandReport", "messages.on_demand_report", "asked",
            [](Image i) { return opened<MessageBodies>(i).bodies[9] == "asked"; })),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Outputs, EditorAgreement,
    testing::Values(
        row("PermanentO4", "outputs.O4.permanent", "true", [](Image i) { return opened<Outputs>(i).permanent[3] == 1; }),
        row("LowSignallingO1", "outputs.O1.mode", "L1(LOW) signaling",
            [](Image i) { return opened<Outputs>(i).thermostats[0].lowSignalling == 1; }),
        row("HeatingO3", "outputs.O3.mode", "Heating", [](Image i) { return opened<Outputs>(i).thermostats[1].heating == 1; }),
        row("CoolingO5", "outputs.O5.mode", "Cooling", [](Image i) { return opened<Outputs>(i).thermostats[2].cooling == 1; }),
        row("HighSignallingO2", "outputs.O2.high_state_signaling", "true",
            [](Image i) { return opened<Outputs>(i).highSignalling[0] == 1; }),
        row("HighSignallingO4", "outputs.O4.high_state_signaling", "true",
            [](Image i) { return opened<Outputs>(i).highSignalling[1] == 1; }),
        row("HighSignallingO6", "outputs.O6.high_state_signaling", "true",
            [](Image i) { return opened<Outputs>(i).highSignalling[2] == 1; }),
        row("WakingHoursO4", "outputs.O4.signal_waking_hours", "true",
            [](Image i) { return opened<Outputs>(i).wakingHoursOnO4 == 1; }),
        row("AlarmStateO6", "outputs.O6.signal_alarm_state", "true",
            [](Image i) { return opened<Outputs>(i).alarmStateOnO6 == 1; }),
        row("SignallingTime", "outputs.signalling_time", "30",
            [](Image i) { return opened<Outputs>(i).signallingTime == 30; }),
        row("Buzzer", "outputs.buzzer", "true", [](Image i) { return opened<Outputs>(i).buzzer == 1; })),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    ScalingAndCsd, EditorAgreement,
    testing::Values(
        row("GainL3", "scaling.L3.a", "1500", [](Image i) { return opened<Scaling>(i).gain[2] == 1500; }),
        row("OffsetL3", "scaling.L3.b", "-20", [](Image i) { return opened<Scaling>(i).offset[2] == -20; }),
        row("Rs485", "csd_port.interface", "RS-485", [](Image i) { return opened<CsdSerialPort>(i).interface == 1; }),
        row("Speed9600", "csd_port.speed", "9600", [](Image i) { return opened<CsdSerialPort>(i).speed == 3; }),
        row("SevenBits", "csd_port.character_size", "7-bit",
            [](Image i) { return opened<CsdSerialPort>(i).characterSize == 1; }),
        row("OddParity", "csd_port.parity", "ODD", [](Image i) { return opened<CsdSerialPort>(i).parity == 2; }),
        row("TwoStopBits", "csd_port.stop_bits", "2-bit", [](Image i) { return opened<CsdSerialPort>(i).stopBits == 1; })),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Internet, EditorAgreement,
    testing::Values(
        row("ApnName", "internet.apn_name", "apn", [](Image i) { return opened<InternetAccess>(i).accessTexts[0] == "apn"; }),
        row("SmtpServer", "internet.smtp_server", "smtp",
            [](Image i) { return opened<InternetAccess>(i).accessTexts[3] == "smtp"; }),
        row("SenderName", "internet.sender_name", "me", [](Image i) { return opened<InternetAccess>(i).accessTexts[6] == "me"; }),
        row("SenderAddress", "internet.sender_address", "a@b",
            [](Image i) { return opened<InternetAccess>(i).emailAddresses[0] == "a@b"; }),
        row("EmailFour", "internet.email_4", "d@e", [](Image i) { return opened<InternetAccess>(i).emailAddresses[4] == "d@e"; }),
        row("Uid", "internet.uid", "65535", [](Image i) { return opened<InternetAccess>(i).uid == 65535; }),
        row("TransmitPeriod", "internet.transmit_period", "12",
            [](Image i) { return opened<InternetAccess>(i).transmitPeriod == 12; }),
        row("ServerAddress", "internet.server_address", "http://x",
            [](Image i) { return opened<InternetAccess>(i).serverAddress == "http://x"; }),
        row("Message", "internet.message", "m", [](Image i) { return opened<InternetAccess>(i).message == "m"; }),
        row("WakingHoursOnly", "internet.transmission_only_during_waking_hours", "true",
            [](Image i) { return opened<InternetAccess>(i).onlyDuringWakingHours == 1; }),
        row("WwwAuthorisation", "internet.www_authorisation", "true",
            [](Image i) { return opened<InternetAccess>(i).wwwAuthorisation == 1; })),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    Email, EditorAgreement,
    testing::Values(
        row("InputRecipients", "email.L4.recipients", "[2, 5]", [](Image i) {
            const RecipientRow r = opened<EmailNotifications>(i).inputs[3];
            return r.recipients[1] == 1 && r.recipients[4] == 1;
        }),
        row("InputJpg", "email.L4.send_jpg", "true", [](Image i) { return opened<EmailNotifications>(i).inputs[3].jpgPicture == 1; }),
        row("ReportRecipients", "email.report.recipients", "[1]",
            [](Image i) { return opened<EmailNotifications>(i).report.recipients[0] == 1; }),
        row("ReportJpg", "email.report.send_jpg", "true",
            [](Image i) { return opened<EmailNotifications>(i).report.jpgPicture == 1; }),
        row("LogRecipients", "email.log_recipients", "[3]",
            [](Image i) { return opened<EmailNotifications>(i).logRecipients[2] == 1; }),
        row("EraseLog", "email.erase_log_after_sending", "true",
            [](Image i) { return opened<EmailNotifications>(i).eraseLogAfterSending == 1; }),
        row("MeasurementRecords", "email.send_measurement_records", "true",
            [](Image i) { return opened<EmailNotifications>(i).sendMeasurementRecords == 1; }),
        row("SendingHour", "email.log_sending_hour", "17",
            [](Image i) { return opened<EmailNotifications>(i).sendingHour == 17; }),
        row("SendPeriod", "email.log_send_period", "3", [](Image i) { return opened<EmailNotifications>(i).sendPeriod == 2; })),
    test_support::RowName());

INSTANTIATE_TEST_SUITE_P(
    ExtendedLines, EditorAgreement,
    testing::Values(
        row("ExpansionModule", "extended_lines.expansion_module_support", "true",
            [](Image i) { return opened<ExtendedLines>(i).expansionModule == 1; }),
        row("EnergyCounter", "extended_lines.energy_counter_support", "true",
            [](Image i) { return opened<ExtendedLines>(i).energyCounter == 1; }),
        row("HL", "extended_lines.XL12.high_to_low_alarm", "true",
            [](Image i) { return opened<ExtendedLines>(i).lines[11].highToLow == 1; }),
        row("LH", "extended_lines.XL12.low_to_high_alarm", "true",
            [](Image i) { return opened<ExtendedLines>(i).lines[11].lowToHigh == 1; }),
        row("SmsNumbers", "extended_lines.XL12.sms_to", "[4]",
            [](Image i) { return opened<ExtendedLines>(i).lines[11].sms[3] == 1; }),
        row("Body", "extended_lines.XL12.body", "b", [](Image i) { return opened<ExtendedLines>(i).lines[11].body == "b"; }),
        row("CommunicationSms", "extended_lines.communication_control.sms_to", "[1]",
            [](Image i) { return opened<ExtendedLines>(i).communicationControl.sms[0] == 1; }),
        row("CommunicationBody", "extended_lines.communication_control.body", "c",
            [](Image i) { return opened<ExtendedLines>(i).communicationControl.body == "c"; }),
        row("EmailTo", "extended_lines.email_to", "[5]", [](Image i) { return opened<ExtendedLines>(i).email[4] == 1; }),
        row("HumidityGroup", "extended_lines.xl9_xl16.type", "RH",
            [](Image i) { return opened<ExtendedLines>(i).groups[1].humidity == 1; }),
        AgreementRow{"TemperatureThreshold",
                     "format: telvor-settings 1\nextended_lines:\n  xl1_xl8: {type: T/D, lower_threshold: 20.0}\n",
                     [](Image i) {
                         const LineGroup g = opened<ExtendedLines>(i).groups[0];
                         return g.temperature == 1 && g.lowThreshold == "20.0 'C";
                     }},
        row("MillivoltThreshold", "extended_lines.xl9_xl16.upper_threshold", "2600",
            [](Image i) { return opened<ExtendedLines>(i).groups[1].highThreshold == "2600 mV"; })),
    test_support::RowName());
// clang-format on

} // namespace
} // namespace telvor
