#include "setting_table.h"

#include "editors/basic_settings.h"

#include <algorithm>
#include <array>
#include <map>
#include <tuple>
#include <vector>

namespace telvor {
namespace {

using Kind = SettingKind;
constexpr int kN = FieldPart::kRowNumber;
constexpr int kNone = Field::kNotIndexed;

constexpr Choice kDays[]
    = {{"Mo", 0x01}, {"Tu", 0x02}, {"We", 0x04}, {"Th", 0x08}, {"Fr", 0x10}, {"Sa", 0x20}, {"Su", 0x40}, {"D-o", 0x80}};

// Telephone numbers 1 to 5 in bits 0 to 4 of the first byte, 6 to 10 in
// bits 0 to 4 of the second; "ANYONE" is bit 7 of the first.
constexpr Choice kNumbers1To10[] = {{"1", 1u << 0}, {"2", 1u << 1}, {"3", 1u << 2},  {"4", 1u << 3},  {"5", 1u << 4},
                                    {"6", 1u << 8}, {"7", 1u << 9}, {"8", 1u << 10}, {"9", 1u << 11}, {"10", 1u << 12}};
constexpr Choice kNumbers1To10OrAnyone[]
    = {{"1", 1u << 0}, {"2", 1u << 1},  {"3", 1u << 2},  {"4", 1u << 3},   {"5", 1u << 4},     {"6", 1u << 8},
       {"7", 1u << 9}, {"8", 1u << 10}, {"9", 1u << 11}, {"10", 1u << 12}, {"ANYONE", 1u << 7}};
constexpr Choice kNumbers1To5OrAnyone[]
    = {{"1", 1u << 0}, {"2", 1u << 1}, {"3", 1u << 2}, {"4", 1u << 3}, {"5", 1u << 4}, {"ANYONE", 1u << 7}};
// An input's SMS numbers: 1 to 5 in bits 2 to 6 of ICFGn, 6 to 10 in bits
// 0 to 4 of ECFGn.
constexpr Choice kInputSmsNumbers[]
    = {{"1", 1u << 2}, {"2", 1u << 3}, {"3", 1u << 4},  {"4", 1u << 5},  {"5", 1u << 6},
       {"6", 1u << 8}, {"7", 1u << 9}, {"8", 1u << 10}, {"9", 1u << 11}, {"10", 1u << 12}};
// An extended line's SMS numbers 1 to 5 in bits 2 to 6.
constexpr Choice kLineSmsNumbers[] = {{"1", 1u << 2}, {"2", 1u << 3}, {"3", 1u << 4}, {"4", 1u << 5}, {"5", 1u << 6}};
constexpr Choice kRecipients[] = {{"1", 1u << 0}, {"2", 1u << 1}, {"3", 1u << 2}, {"4", 1u << 3}, {"5", 1u << 4}};
constexpr Choice kInputs[]
    = {{"L1", 0x01}, {"L2", 0x02}, {"L3", 0x04}, {"L4", 0x08}, {"L5", 0x10}, {"L6", 0x20}, {"L7", 0x40}, {"L8", 0x80}};

// The exclusive modes of the thermostat outputs O1, O3 and O5.
constexpr Choice kO1Modes[] = {{"none", 0}, {"L1(LOW) signaling", 0x02}, {"Heating", 0x04}, {"Cooling", 0x08}};
constexpr Choice kO3Modes[] = {{"none", 0}, {"L2(LOW) signaling", 0x02}, {"Heating", 0x04}, {"Cooling", 0x08}};
constexpr Choice kO5Modes[] = {{"none", 0}, {"L5(LOW) signaling", 0x02}, {"Heating", 0x04}, {"Cooling", 0x08}};

constexpr Choice kInterfaces[] = {{"RS-232", 0x00}, {"RS-485", 0x01}};
constexpr Choice kCharacterSizes[] = {{"8-bit", 0x00}, {"7-bit", 0x02}};
constexpr Choice kStopBits[] = {{"1-bit", 0x00}, {"2-bit", 0x04}};
constexpr Choice kParities[] = {{"NONE", 0x00}, {"EVEN", 0x08}, {"ODD", 0x10}};
constexpr Choice kSpeeds[]
    = {{"1200", 0x00}, {"2400", 0x20}, {"4800", 0x40}, {"9600", 0x60}, {"14400", 0x80}, {"19200", 0xA0}};

constexpr Choice kSendPeriods[] = {{"1", 0x00}, {"2", 0x20}, {"3", 0x40}, {"7", 0x60}};
constexpr Choice kLineTypes[] = {{"none", 0}, {"RH", 1}, {"T/D", 2}};

// clang-format off
const SettingRow kRows[] = {
    // Basic settings
    {.path = "basic.smsc", .kind = Kind::Text, .field = {"NUM", 0},
     .caption = "SMSC", .meaning = "number of the SMS centre; may be left empty"},
    {.path = "basic.num_#", .first = 1, .last = 10, .kind = Kind::Text, .field = {"NUM", kN},
     .caption = "Num #", .meaning = "telephone number #"},
    {.path = "basic.pin", .kind = Kind::Text, .field = {"PIN"},
     .caption = "PIN", .meaning = "PIN code of the SIM card"},
    {.path = "basic.pin_active", .kind = Kind::CheckBox, .field = {"MCFG1", kNone, 1, 0x02}, .checked = 0x02,
     .caption = "active", .meaning = "the PIN's \"active\" switch; its box is hidden, the value only passes through"},
    {.path = "basic.network_code", .kind = Kind::Number, .field = {"COPS"}, .minimum = 0, .maximum = 65535,
     .stored = storedNetworkCode,
     .caption = "Network code (0=auto):", .meaning = "operator code of the network; 0 automatic choice, 65535 is stored as 0"},
    {.path = "basic.report_hours", .kind = Kind::HourList, .field = {"RPTHR"},
     .caption = "Send report on hours:", .meaning = "hours at which a report is sent"},
    {.path = "basic.report_hours_days", .kind = Kind::Members, .field = {"WKD", 1}, .choices = kDays,
     .caption = "Mo ... Su, D-o", .meaning = "days on which the report hours apply; D-o is the day off"},
    {.path = "basic.waking_hours", .kind = Kind::HourList, .field = {"GRDHR"},
     .caption = "Waking hours:", .meaning = "waking hours"},
    {.path = "basic.waking_hours_days", .kind = Kind::Members, .field = {"WKD", 2}, .choices = kDays,
     .caption = "Mo ... Su, D-o", .meaning = "days on which the waking hours apply"},
    {.path = "basic.periodical_report", .kind = Kind::CheckBox, .field = {"MCFG1", kNone, 1, 0x01}, .checked = 0x01,
     .caption = "send every", .meaning = "the periodical report is sent"},
    {.path = "basic.periodical_report_period", .kind = Kind::Number, .field = {"TRPT"}, .minimum = 0, .maximum = 65535,
     .caption = "Periodical report: ... minutes", .meaning = "period of the periodical report, minutes"},
    {.path = "basic.periodical_report_only_in_alarm_state", .kind = Kind::CheckBox,
     .field = {"MCFG1", kNone, 1, 0x08}, .checked = 0x08,
     .caption = "only in alarm state", .meaning = "the periodical report is sent only while in alarm state"},
    {.path = "basic.periodical_report_days", .kind = Kind::Members, .field = {"WKD", 3}, .choices = kDays,
     .caption = "Mo ... Su, D-o", .meaning = "days on which the periodical report applies"},
    {.path = "basic.report_after_c1_change", .kind = Kind::CheckBox, .field = {"MCFG2", kNone, 1, 0x02},
     .checked = 0x02, .caption = "Send report after change state of input C1",
     .meaning = "a report is sent when input C1 changes state"},
    {.path = "basic.sms_limit", .kind = Kind::CheckBox, .field = {"MCFG1", kNone, 1, 0x04}, .checked = 0x04,
     .caption = "active, up to", .meaning = "the daily limit of sent SMS is on"},
    {.path = "basic.sms_limit_per_day", .kind = Kind::Number, .field = {"SLIM"}, .minimum = 0, .maximum = 255,
     .caption = "Limit of sent SMS: ... messages per day", .meaning = "limit of sent SMS, messages per day"},
    {.path = "basic.send_acknowledges", .kind = Kind::CheckBox, .field = {"MCFG1", kNone, 1, 0x10}, .checked = 0x10,
     .caption = "Send acknowledges of incoming SMS:", .meaning = "incoming SMS are acknowledged"},
    {.path = "basic.lcd_support", .kind = Kind::CheckBox, .field = {"MCFG1", kNone, 1, 0xE0}, .checked = 0x20,
     .caption = "Support for LCD:", .meaning = "an LCD is supported"},
    {.path = "basic.logging_period", .kind = Kind::Number, .field = {"LOGT"}, .minimum = 0, .maximum = 255,
     .caption = "Period of measurements logging :", .meaning = "period of measurement logging, minutes; 0 is off"},
    {.path = "basic.logging_only_in_waking_hours", .kind = Kind::CheckBox, .field = {"MCFG2", kNone, 1, 0x10},
     .checked = 0x10, .caption = "Logging of measurements only in waking hours",
     .meaning = "measurements are logged only in the waking hours"},
    {.path = "basic.logging_faster_in_alarm_state", .kind = Kind::CheckBox, .field = {"MCFG2", kNone, 1, 0x80},
     .checked = 0x80, .caption = "Logging of measurements 10x faster in alarm state",
     .meaning = "measurements are logged ten times as often in alarm state"},
    {.path = "basic.balance_check_code", .kind = Kind::BalanceCheckCode, .field = {"URL2"},
     .caption = "Account balance check code:", .meaning = "code that asks the network for the account balance"},
    {.path = "basic.balance_check_hour", .kind = Kind::Number, .field = {"TGAC"}, .minimum = 0, .maximum = 255,
     .caption = ", check on hour:", .meaning = "hour of the account balance check"},

    // Telephone number authorization
    {.path = "authorization.periodical_report_to", .kind = Kind::Members, .field = {"RCFG"},
     .more = {"RCFG", kNone, 3}, .choices = kNumbers1To10,
     .caption = "Periodical report sent to", .meaning = "telephone numbers that receive the periodical report"},
    {.path = "authorization.on_demand_report_from", .kind = Kind::Members, .field = {"CLIP"},
     .more = {"CLIP", kNone, 2}, .choices = kNumbers1To10OrAnyone,
     .caption = "On-demand report (CLIP) allowed from",
     .meaning = "telephone numbers that may ask for a report by calling; ANYONE opens it to every caller"},
    {.path = "authorization.sms_remote_control_from", .kind = Kind::Members, .field = {"CTRL"},
     .more = {"CTRL", kNone, 2}, .choices = kNumbers1To10OrAnyone,
     .caption = "SMS remote-control allowed from",
     .meaning = "telephone numbers that may control the device by SMS; ANYONE opens it to every sender"},
    {.path = "authorization.csd_modem_connection_from", .kind = Kind::Members, .field = {"CSDC"},
     .choices = kNumbers1To5OrAnyone, .caption = "CSD modem connection allowed from",
     .meaning = "telephone numbers that may open a CSD modem connection; its boxes are disabled, the value only passes through"},

    // Input settings
    {.path = "inputs.L#.type", .first = 1, .last = 8, .kind = Kind::InputType, .field = {"ICFG", kN, 1, 0x80},
     .more = {"SCFG", kN, 1, 0x07}, .caption = "T, D, RH, S, TR, RR, PT",
     .meaning = "sensor type of input L#: none (plain voltage input), T analog temperature, D digital temperature, "
                "RH air humidity, S scaled measurement, TR digital temperature, RR digital humidity, PT PT-100"},
    {.path = "inputs.L#.low_threshold", .first = 1, .last = 8, .kind = Kind::InputThreshold, .field = {"ULO", kN},
     .caption = "L threshold [mV, °C, %]", .meaning = "L threshold of input L#, in the unit of its type"},
    {.path = "inputs.L#.high_threshold", .first = 1, .last = 8, .kind = Kind::InputThreshold, .field = {"UHI", kN},
     .caption = "H threshold [mV, °C, %]", .meaning = "H threshold of input L#, in the unit of its type"},
    {.path = "inputs.L#.high_to_low_alarm", .first = 1, .last = 8, .kind = Kind::CheckBox,
     .field = {"ICFG", kN, 1, 0x01}, .checked = 0x01,
     .caption = "HL", .meaning = "alarm on a high-to-low crossing of the L threshold"},
    {.path = "inputs.L#.low_to_high_alarm", .first = 1, .last = 8, .kind = Kind::CheckBox,
     .field = {"ICFG", kN, 1, 0x02}, .checked = 0x02,
     .caption = "LH", .meaning = "alarm on a low-to-high crossing of the H threshold"},
    {.path = "inputs.L#.sms_to", .first = 1, .last = 8, .kind = Kind::Members, .field = {"ICFG", kN, 1, 0x7C},
     .more = {"ECFG", kN}, .choices = kInputSmsNumbers, .caption = "Send SMS to telephone numbers: 1...10",
     .meaning = "telephone numbers that get an SMS when input L# raises an alarm"},
    {.path = "inputs.L#.ring_before_sms", .first = 1, .last = 8, .kind = Kind::CheckBox,
     .field = {"SCFG", kN, 1, 0x10}, .checked = 0x10, .caption = "R: RING before SMS", .meaning = "ring before the SMS"},
    {.path = "inputs.L#.notify_return_to_normal", .first = 1, .last = 8, .kind = Kind::CheckBox,
     .field = {"SCFG", kN, 1, 0x08}, .checked = 0x08,
     .caption = "N: Notify return to normal state", .meaning = "notify the return to the normal state"},
    {.path = "inputs.L#.notify_only_in_waking_hours", .first = 1, .last = 8, .kind = Kind::CheckBox,
     .field = {"SCFG", kN, 1, 0x20}, .checked = 0x20,
     .caption = "C: Notify ONLY on waking hours", .meaning = "notify only in the waking hours"},
    {.path = "inputs.L#.limit_notification_frequency", .first = 1, .last = 8, .kind = Kind::CheckBox,
     .field = {"SCFG", kN, 1, 0xC0}, .checked = 0x40,
     .caption = "F: Frequency of notifications limit (only one time at a given period)",
     .meaning = "at most one notification in a given period"},
    {.path = "inputs.L#.delayed_alarm_time", .first = 1, .last = 8, .kind = Kind::Delay, .field = {"ADEL", kN},
     .caption = "Delayed alarm time (min./sec.)", .meaning = "delay before input L# raises an alarm"},
    {.path = "inputs.insensitivity_l1_l4", .kind = Kind::Number, .field = {"HIST1"}, .minimum = 0, .maximum = 255,
     .caption = "L1...L4 insensitivity", .meaning = "insensitivity of inputs L1 to L4, mV"},
    {.path = "inputs.insensitivity_l5_l8", .kind = Kind::Number, .field = {"HIST2"}, .minimum = 0, .maximum = 255,
     .caption = "L5...L8 insensitivity", .meaning = "insensitivity of inputs L5 to L8, mV"},
    {.path = "inputs.alarm_state_low", .kind = Kind::Members, .field = {"ALMD"}, .choices = kInputs,
     .caption = "Alarm state conditions: LOW state", .meaning = "inputs whose LOW state is an alarm state"},
    {.path = "inputs.alarm_state_high", .kind = Kind::Members, .field = {"ALMD", kNone, 2}, .choices = kInputs,
     .caption = "Alarm state conditions: HIGH state", .meaning = "inputs whose HIGH state is an alarm state"},

    // SMS / email message body
    {.path = "messages.periodical_report", .kind = Kind::Text, .field = {"SMS", 0},
     .caption = "Periodical report", .meaning = "body of the periodical report"},
    {.path = "messages.L#", .first = 1, .last = 8, .kind = Kind::Text, .field = {"SMS", kN},
     .caption = "Input L#", .meaning = "body of the notification of input L#"},
    {.path = "messages.on_demand_report", .kind = Kind::Text, .field = {"SMS", 9},
     .caption = "On-demand report", .meaning = "body of the on-demand report"},

    // Configuration of the outputs
    {.path = "outputs.O#.permanent", .first = 1, .last = 6, .kind = Kind::CheckBox, .field = {"OCFG", kN, 1, 0x01},
     .checked = 0x01, .caption = "Permanent", .meaning = "output O# is on permanently"},
    {.path = "outputs.O1.mode", .kind = Kind::Choice, .field = {"OCFG", 1, 1, 0xFE}, .choices = kO1Modes,
     .caption = "L1(LOW) signaling, Thermostat L1-O1", .meaning = "what drives O1: L1's low state or a thermostat on L1"},
    {.path = "outputs.O2.high_state_signaling", .kind = Kind::CheckBox, .field = {"OCFG", 2, 1, 0xFE},
     .checked = 0x02, .caption = "L1(HIGH) signaling", .meaning = "O2 signals the high state of L1"},
    {.path = "outputs.O3.mode", .kind = Kind::Choice, .field = {"OCFG", 3, 1, 0xFE}, .choices = kO3Modes,
     .caption = "L2(LOW) signaling, Thermostat L2-O3", .meaning = "what drives O3: L2's low state or a thermostat on L2"},
    {.path = "outputs.O4.high_state_signaling", .kind = Kind::CheckBox, .field = {"OCFG", 4, 1, 0x02},
     .checked = 0x02, .caption = "L2(HIGH) signaling", .meaning = "O4 signals the high state of L2"},
    {.path = "outputs.O4.signal_waking_hours", .kind = Kind::CheckBox, .field = {"OCFG", 4, 1, 0xFC},
     .checked = 0x04, .caption = "O4: signal waking hours", .meaning = "O4 signals the waking hours"},
    {.path = "outputs.O5.mode", .kind = Kind::Choice, .field = {"OCFG", 5, 1, 0xFE}, .choices = kO5Modes,
     .caption = "L5(LOW) signaling, Thermostat L5-O5", .meaning = "what drives O5: L5's low state or a thermostat on L5"},
    {.path = "outputs.O6.high_state_signaling", .kind = Kind::CheckBox, .field = {"OCFG", 6, 1, 0x02},
     .checked = 0x02, .caption = "L5(HIGH) signaling", .meaning = "O6 signals the high state of L5"},
    {.path = "outputs.O6.signal_alarm_state", .kind = Kind::CheckBox, .field = {"OCFG", 6, 1, 0xFC},
     .checked = 0x04, .caption = "O6: signaling of the alarm state: Active", .meaning = "O6 signals the alarm state"},
    {.path = "outputs.signalling_time", .kind = Kind::Number, .field = {"ATIM"}, .minimum = 0, .maximum = 255,
     .caption = "Signalling time: ... s", .meaning = "alarm signalling time of O6, seconds; 0 and 255 without limit"},
    {.path = "outputs.buzzer", .kind = Kind::CheckBox, .field = {"MCFG2", kNone, 1, 0x40}, .checked = 0x40,
     .caption = "Buzzer: Signaling of the alarm state", .meaning = "the buzzer signals the alarm state"},

    // Scaling factors (S) for analog measurements
    {.path = "scaling.L#.a", .first = 1, .last = 8, .kind = Kind::Number, .field = {"SCLA", kN},
     .minimum = -32767, .maximum = 32767, .caption = "A=",
     .meaning = "factor A of y = A·x/1000 + B for input L#, in thousandths"},
    {.path = "scaling.L#.b", .first = 1, .last = 8, .kind = Kind::Number, .field = {"SCLB", kN},
     .minimum = -32767, .maximum = 32767, .caption = "B=", .meaning = "offset B of y = A·x/1000 + B for input L#"},

    // Serial port of the CSD connection; its button is disabled in the window
    {.path = "csd_port.interface", .kind = Kind::Choice, .field = {"SCFG", kNone, 1, 0x01}, .choices = kInterfaces,
     .caption = "Interfejs", .meaning = "interface of the serial port"},
    {.path = "csd_port.speed", .kind = Kind::Choice, .field = {"SCFG", kNone, 1, 0xE0}, .choices = kSpeeds,
     .caption = "Prędkość", .meaning = "speed, bit/s"},
    {.path = "csd_port.character_size", .kind = Kind::Choice, .field = {"SCFG", kNone, 1, 0x02},
     .choices = kCharacterSizes, .caption = "Znak", .meaning = "character size"},
    {.path = "csd_port.parity", .kind = Kind::Choice, .field = {"SCFG", kNone, 1, 0x18}, .choices = kParities,
     .caption = "Parzystość", .meaning = "parity"},
    {.path = "csd_port.stop_bits", .kind = Kind::Choice, .field = {"SCFG", kNone, 1, 0x04}, .choices = kStopBits,
     .caption = "Bity STOP", .meaning = "stop bits"},

    // Internet access configuration
    {.path = "internet.apn_name", .kind = Kind::Text, .field = {"APN", 0},
     .caption = "APN name:", .meaning = "GPRS access point name"},
    {.path = "internet.apn_user", .kind = Kind::Text, .field = {"APN", 1},
     .caption = "APN user:", .meaning = "user of the access point"},
    {.path = "internet.apn_password", .kind = Kind::Text, .field = {"APN", 2},
     .caption = "APN password:", .meaning = "password of the access point"},
    {.path = "internet.smtp_server", .kind = Kind::Text, .field = {"APN", 3},
     .caption = "Server name:", .meaning = "SMTP server for e-mail notifications"},
    {.path = "internet.smtp_user", .kind = Kind::Text, .field = {"APN", 4},
     .caption = "SMTP user:", .meaning = "user on the SMTP server"},
    {.path = "internet.smtp_password", .kind = Kind::Text, .field = {"APN", 5},
     .caption = "SMTP password:", .meaning = "password on the SMTP server"},
    {.path = "internet.sender_name", .kind = Kind::Text, .field = {"APN", 6},
     .caption = "Sender name:", .meaning = "sender name of the e-mails"},
    {.path = "internet.sender_address", .kind = Kind::Text, .field = {"EAD", 0},
     .caption = "Sender address:", .meaning = "sender address of the e-mails"},
    {.path = "internet.email_#", .first = 1, .last = 5, .kind = Kind::Text, .field = {"EAD", kN},
     .caption = "E-mail #:", .meaning = "address of e-mail recipient #"},
    {.path = "internet.uid", .kind = Kind::Number, .field = {"NUID"}, .minimum = 0, .maximum = 65535,
     .caption = "UID", .meaning = "unit identifier of the HTTP transmission"},
    {.path = "internet.transmit_period", .kind = Kind::Number, .field = {"THTP"}, .minimum = 0, .maximum = 255,
     .caption = "Transmit period: ... x 5 min",
     .meaning = "HTTP transmit period in units of 5 minutes; 0 and 255 send nothing"},
    {.path = "internet.server_address", .kind = Kind::Text, .field = {"URL0"},
     .caption = "Server address", .meaning = "HTTP server address"},
    {.path = "internet.message", .kind = Kind::Text, .field = {"URL1"},
     .caption = "Message", .meaning = "HTTP message"},
    {.path = "internet.transmission_only_during_waking_hours", .kind = Kind::CheckBox,
     .field = {"MCFG2", kNone, 1, 0x08}, .checked = 0x08, .caption = "Transmission only during waking hours",
     .meaning = "HTTP transmission only in the waking hours"},
    {.path = "internet.www_authorisation", .kind = Kind::CheckBox, .field = {"MCFG2", kNone, 1, 0x04},
     .checked = 0x04, .caption = "WWW authorisation",
     .meaning = "WWW authorisation; its box is hidden, the value only passes through"},

    // Settings of email notifications
    {.path = "email.L#.recipients", .first = 1, .last = 8, .kind = Kind::Members, .field = {"SEML", kN, 1, 0x1F},
     .choices = kRecipients, .caption = "Notifications sent to emai addresses: 1 ... 5",
     .meaning = "e-mail recipients of the notification of input L#"},
    {.path = "email.L#.send_jpg", .first = 1, .last = 8, .kind = Kind::CheckBox, .field = {"SEML", kN, 1, 0xE0},
     .checked = 0x20, .caption = "Send JPG:",
     .meaning = "a JPG picture goes with the notification; its box is hidden, the value only passes through"},
    {.path = "email.report.recipients", .kind = Kind::Members, .field = {"RCFG", kNone, 2, 0x1F},
     .choices = kRecipients, .caption = "Report", .meaning = "e-mail recipients of the periodical report"},
    {.path = "email.report.send_jpg", .kind = Kind::CheckBox, .field = {"RCFG", kNone, 2, 0xE0}, .checked = 0x20,
     .caption = "Send JPG:",
     .meaning = "a JPG picture goes with the report; its box is hidden, the value only passes through"},
    {.path = "email.log_recipients", .kind = Kind::Members, .field = {"SLGT", kNone, 1, 0x1F},
     .choices = kRecipients, .caption = "Send log records to e-mail addresses:",
     .meaning = "e-mail recipients of the measurement log"},
    {.path = "email.erase_log_after_sending", .kind = Kind::CheckBox, .field = {"SLGT", kNone, 1, 0x20},
     .checked = 0x20, .caption = "Erase log after sending via email", .meaning = "the log is erased once sent"},
    {.path = "email.send_measurement_records", .kind = Kind::CheckBox, .field = {"SLGT", kNone, 1, 0xC0},
     .checked = 0x40, .caption = "Send also measurement records",
     .meaning = "the mailed log holds the measurement records too"},
    {.path = "email.log_sending_hour", .kind = Kind::Number, .field = {"SLOG", kNone, 1, 0x1F}, .minimum = 0,
     .maximum = 31, .caption = "Sending hour:", .meaning = "hour at which the log is mailed"},
    {.path = "email.log_send_period", .kind = Kind::Choice, .field = {"SLOG", kNone, 1, 0xE0},
     .choices = kSendPeriods, .caption = "Send period (days):", .meaning = "the log is mailed every 1, 2, 3 or 7 days"},

    // Configuration of the extended lines
    {.path = "extended_lines.expansion_module_support", .kind = Kind::CheckBox, .field = {"MCFG2", kNone, 1, 0x01},
     .checked = 0x01, .caption = "Support for the expansion module", .meaning = "the expansion module is supported"},
    {.path = "extended_lines.energy_counter_support", .kind = Kind::CheckBox, .field = {"MCFG2", kNone, 1, 0x20},
     .checked = 0x20, .caption = "Support for the energy counter via RS-485",
     .meaning = "an energy meter is read over RS-485; its measurements are XL9 to XL16"},
    {.path = "extended_lines.xl1_xl8.type", .kind = Kind::Choice, .field = {"XTYP1"}, .choices = kLineTypes,
     .caption = "Sensor type (XL1...XL8):", .meaning = "sensor type of lines XL1 to XL8"},
    {.path = "extended_lines.xl1_xl8.lower_threshold", .kind = Kind::LineThreshold, .field = {"XLO1"},
     .unit = {"XTYP1"}, .caption = "Lower threshold (HL):",
     .meaning = "lower threshold of lines XL1 to XL8, in the unit of their type"},
    {.path = "extended_lines.xl1_xl8.upper_threshold", .kind = Kind::LineThreshold, .field = {"XHI1"},
     .unit = {"XTYP1"}, .caption = "Upper threshold (LH):",
     .meaning = "upper threshold of lines XL1 to XL8, in the unit of their type"},
    {.path = "extended_lines.XL#.high_to_low_alarm", .first = 1, .last = 16, .kind = Kind::CheckBox,
     .field = {"XCFG", kN, 1, 0x01}, .checked = 0x01,
     .caption = "HL", .meaning = "alarm on a high-to-low crossing of the group's lower threshold"},
    {.path = "extended_lines.XL#.low_to_high_alarm", .first = 1, .last = 16, .kind = Kind::CheckBox,
     .field = {"XCFG", kN, 1, 0x02}, .checked = 0x02,
     .caption = "LH", .meaning = "alarm on a low-to-high crossing of the group's upper threshold"},
    {.path = "extended_lines.XL#.sms_to", .first = 1, .last = 16, .kind = Kind::Members,
     .field = {"XCFG", kN, 1, 0xFC}, .choices = kLineSmsNumbers, .caption = "Send SMS to numbers 1...5",
     .meaning = "telephone numbers that get an SMS when line XL# raises an alarm"},
    {.path = "extended_lines.XL#.body", .first = 1, .last = 16, .kind = Kind::Text, .field = {"XMS", kN},
     .caption = "Body of the SMS / e-mail notification", .meaning = "body of the notification of line XL#"},
    {.path = "extended_lines.xl9_xl16.type", .kind = Kind::Choice, .field = {"XTYP9"}, .choices = kLineTypes,
     .caption = "Sensor type (XL9...XL16):", .meaning = "sensor type of lines XL9 to XL16"},
    {.path = "extended_lines.xl9_xl16.lower_threshold", .kind = Kind::LineThreshold, .field = {"XLO9"},
     .unit = {"XTYP9"}, .caption = "Lower threshold (HL):",
     .meaning = "lower threshold of lines XL9 to XL16, in the unit of their type"},
    {.path = "extended_lines.xl9_xl16.upper_threshold", .kind = Kind::LineThreshold, .field = {"XHI9"},
     .unit = {"XTYP9"}, .caption = "Upper threshold (LH):",
     .meaning = "upper threshold of lines XL9 to XL16, in the unit of their type"},
    {.path = "extended_lines.communication_control.sms_to", .kind = Kind::Members, .field = {"XCFG", 17},
     .choices = kLineSmsNumbers, .caption = "Communication control: 1 ... 5",
     .meaning = "telephone numbers that get the communication control SMS"},
    {.path = "extended_lines.communication_control.body", .kind = Kind::Text, .field = {"XMS", 17},
     .caption = "Communication control", .meaning = "body of the communication control notification"},
    {.path = "extended_lines.email_to", .kind = Kind::Members, .field = {"SXML"}, .choices = kRecipients,
     .caption = "Send email to addresses:", .meaning = "e-mail recipients of the extended lines' notifications"},
};
// clang-format on

std::string withNumber(std::string_view pattern, int number)
{
    std::string text(pattern);
    const std::size_t mark = text.find('#');
    if (mark != std::string::npos)
        text.replace(mark, 1, std::to_string(number));
    return text;
}

std::uint32_t wholeMask(const Slot& slot)
{
    return slot.width >= 4 ? 0xFFFFFFFFu : (1u << (8 * slot.width)) - 1;
}

// The element a part names for the row's number n, and its mask.
std::pair<Slot, std::uint32_t> resolve(const FieldPart& part, int number)
{
    const int index = part.index == FieldPart::kRowNumber ? number : part.index;
    const Slot element = slot(part.key, index, part.part);
    return {element, part.mask == FieldPart::kWholeField ? wholeMask(element) : part.mask};
}

std::vector<Setting> expandRows()
{
    std::vector<Setting> expanded;
    for (const SettingRow& row : kRows) {
        for (int number = row.first; number <= row.last; ++number) {
            Setting setting;
            setting.path = withNumber(row.path, number);
            setting.row = &row;
            setting.number = number;
            std::tie(setting.field, setting.fieldMask) = resolve(row.field, number);
            if (!row.more.key.empty())
                std::tie(setting.more, setting.moreMask) = resolve(row.more, number);
            if (!row.unit.key.empty())
                setting.unit = resolve(row.unit, number).first;
            expanded.push_back(std::move(setting));
        }
    }
    return expanded;
}

std::uint32_t fieldValue(const SettingsImage& image, const Slot& element)
{
    std::uint32_t value = 0;
    const auto bytes = image.bytesOf(element);
    for (std::size_t index = bytes.size(); index-- > 0;)
        value = value << 8 | bytes[index];
    return value;
}

void setFieldValue(SettingsImage& image, const Slot& element, std::uint32_t value)
{
    for (std::uint8_t& byte : image.bytesOf(element)) {
        byte = static_cast<std::uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

void setMaskedValue(SettingsImage& image, const Slot& element, std::uint32_t mask, std::uint32_t bits)
{
    setFieldValue(image, element, (fieldValue(image, element) & ~mask) | (bits & mask));
}

} // namespace

std::span<const SettingRow> settingRows()
{
    return kRows;
}

std::uint32_t Setting::mask() const
{
    return fieldMask | (more ? moreMask << (8 * field.width) : 0);
}

std::span<const Setting> settings()
{
    static const std::vector<Setting> expanded = expandRows();
    return expanded;
}

const Setting* findSetting(std::string_view path)
{
    static const std::map<std::string, const Setting*, std::less<>> byPath = [] {
        std::map<std::string, const Setting*, std::less<>> map;
        for (const Setting& setting : settings())
            map.emplace(setting.path, &setting);
        return map;
    }();
    const auto found = byPath.find(path);
    return found == byPath.end() ? nullptr : found->second;
}

std::uint32_t settingBits(const SettingsImage& image, const Setting& setting)
{
    std::uint32_t bits = fieldValue(image, setting.field) & setting.fieldMask;
    if (setting.more)
        bits |= (fieldValue(image, *setting.more) & setting.moreMask) << (8 * setting.field.width);
    return bits;
}

void setSettingBits(SettingsImage& image, const Setting& setting, std::uint32_t bits)
{
    setMaskedValue(image, setting.field, setting.fieldMask, bits);
    if (setting.more)
        setMaskedValue(image, *setting.more, setting.moreMask, bits >> (8 * setting.field.width));
}

} // namespace telvor
