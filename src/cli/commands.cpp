#include "commands.h"

#include "connection_option.h"
#include "device_commands.h"
#include "diff_command.h"
#include "document_commands.h"
#include "fleet_command.h"
#include "history_commands.h"
#include "ports_command.h"
#include "show_command.h"

#include <array>
#include <charconv>
#include <limits>
#include <utility>

namespace telvor {
namespace {

OptionRefusal takeConnection(const std::optional<ConnectionChoice>& choice, std::string refusal, Invocation& invocation)
{
    if (invocation.connection.transport != ConnectionChoice::Transport::Saved)
        return "give at most one connection, --tcp or --com";
    if (!choice)
        return refusal;
    invocation.connection = *choice;
    return std::nullopt;
}

OptionRefusal takeTcp(const std::string& value, Invocation& invocation)
{
    return takeConnection(tcpChoice(value),
                          "--tcp needs a host name, an IPv4 address or an IPv6 address (in brackets before a port) "
                          "and an optional port from 1 to 65535, not \""
                              + value + "\"",
                          invocation);
}

OptionRefusal takeCom(const std::string& value, Invocation& invocation)
{
    return takeConnection(serialChoice(value), "--com " + serialPortRefusal(value), invocation);
}

template <bool Invocation::*flag>
OptionRefusal takeSwitch(const std::string&, Invocation& invocation)
{
    invocation.*flag = true;
    return std::nullopt;
}

template <bool ServiceChoice::*flag>
OptionRefusal takeServiceSwitch(const std::string&, Invocation& invocation)
{
    invocation.service.*flag = true;
    return std::nullopt;
}

OptionRefusal takeBase(const std::string& fileName, Invocation& invocation)
{
    invocation.baseFile = fileName;
    return std::nullopt;
}

constexpr const char* kHistoryOrNot = "give --history FILE or --no-history, not both";

OptionRefusal takeHistoryFile(const std::string& fileName, Invocation& invocation)
{
    if (invocation.noHistory)
        return kHistoryOrNot;
    if (fileName.empty())
        return "--history needs a file name";
    invocation.historyFile = fileName;
    return std::nullopt;
}

OptionRefusal takeNoHistory(const std::string&, Invocation& invocation)
{
    if (invocation.historyFile)
        return kHistoryOrNot;
    invocation.noHistory = true;
    return std::nullopt;
}

OptionRefusal takeTarget(const std::string& target, Invocation& invocation)
{
    if (target.empty())
        return "--target needs a target such as tcp:192.168.2.1:23";
    invocation.target = target;
    return std::nullopt;
}

std::optional<int> wholeNumber(const std::string& text, int least, int most)
{
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < least || number > most)
        return std::nullopt;
    return number;
}

OptionRefusal takeLimit(const std::string& value, Invocation& invocation)
{
    const std::optional<int> limit = wholeNumber(value, 1, std::numeric_limits<int>::max());
    if (!limit)
        return "--limit needs a whole number from 1 on, not \"" + value + "\"";
    invocation.limit = *limit;
    return std::nullopt;
}

// Days as far back as a time can go.
constexpr int kMostDays = 1000000;

OptionRefusal takeOlderThan(const std::string& value, Invocation& invocation)
{
    const std::optional<int> days = wholeNumber(value, 0, kMostDays);
    if (!days)
        return "--older-than needs a whole number of days, not \"" + value + "\"";
    invocation.olderThanDays = *days;
    return std::nullopt;
}

// Devices at once: as many as a process may reach side by side.
constexpr int kMostJobs = 1000;
constexpr int kMostRetries = 100;

OptionRefusal takeJobs(const std::string& value, Invocation& invocation)
{
    const std::optional<int> jobs = wholeNumber(value, 1, kMostJobs);
    if (!jobs)
        return "--jobs needs a whole number from 1 to " + std::to_string(kMostJobs) + ", not \"" + value + "\"";
    invocation.jobs = *jobs;
    return std::nullopt;
}

OptionRefusal takeRetries(const std::string& value, Invocation& invocation)
{
    const std::optional<int> retries = wholeNumber(value, 0, kMostRetries);
    if (!retries)
        return "--retries needs a whole number from 0 to " + std::to_string(kMostRetries) + ", not \"" + value + "\"";
    invocation.retries = *retries;
    return std::nullopt;
}

OptionRefusal takeReceipts(const std::string& fileName, Invocation& invocation)
{
    if (fileName.empty())
        return "--receipts needs a file name";
    invocation.receiptsFile = fileName;
    return std::nullopt;
}

OptionRefusal takeImage(const std::string& value, Invocation& invocation)
{
    for (const auto& [name, image] : kImageNames)
        if (value == name) {
            invocation.image = image;
            return std::nullopt;
        }
    return "--image needs sent, read or backup, not \"" + value + "\"";
}

OptionRefusal takeOutput(const std::string& fileName, Invocation& invocation)
{
    if (invocation.outputFile)
        return "give -o once";
    invocation.outputFile = fileName;
    return std::nullopt;
}

} // namespace

std::string commandPath(const Command& command)
{
    if (command.parent.empty())
        return std::string(command.name);
    return std::string(command.parent) + " " + std::string(command.name);
}

std::span<const Command> commands()
{
    constexpr unsigned kRecorded = kConnectionOptions | kHistoryFileOption | kRecordingOptions;
    static constexpr std::array table = {
        Command{"version", "ask the device for its firmware version", "", kRecorded | kJsonOption, runVersion},
        Command{"read", "read the device's settings into OUT.tvr", "OUT.tvr", kRecorded | kBaseOption, runRead},
        Command{"write", "write FILE.tvr to the device, verify it, then run the chosen service commands", "FILE.tvr",
                kRecorded | kServiceOptions | kBackupOption, runWrite},
        Command{"check", "list the fields in which the device differs from FILE.tvr, as a write would verify them",
                "FILE.tvr", kRecorded, runCheck},
        Command{"restore", "write an image kept in the history back to the device, as write does", "ID",
                kConnectionOptions | kServiceOptions | kHistoryFileOption | kBackupOption | kImageOption, runRestore},
        Command{"show", "print FILE.tvr as the device's KEY=value answer lines", "FILE.tvr", kNoOptions, runShow},
        Command{"diff", "list the fields in which A.tvr and B.tvr differ", "A.tvr B.tvr", kNoOptions, runDiff},
        Command{"export", "print FILE as a settings document (YAML), or write it to OUT", "FILE", kOutputOption,
                runExport},
        Command{"import", "apply settings documents in order onto the factory defaults and write OUT", "DOC.yaml...",
                kBaseOption | kOutputOption, runImport},
        Command{"set", "change settings of FILE, each given as PATH=VALUE; in place unless -o", "FILE PATH=VALUE...",
                kOutputOption, runSet},
        Command{"ports", "list the serial ports with the port number of each and whether it may be opened", "",
                kProbeOption | kJsonOption, runPorts},
        Command{"fleet", "write every device of PLAN.csv as write does, several at once, with a receipt for each",
                "PLAN.csv", kServiceOptions | kBackupOption | kHistoryFileOption | kFleetOptions, runFleet},
        Command{"history", "list the device operations recorded, newest first", "",
                kHistoryFileOption | kListOptions | kJsonOption, runHistory},
        Command{"show", "print every recorded detail of operation ID", "ID", kHistoryFileOption, runHistoryShow,
                "history"},
        Command{"export", "write an image of operation ID to OUT.tvr", "ID OUT.tvr", kHistoryFileOption | kImageOption,
                runHistoryExport, "history"},
        Command{"prune", "remove the operations that ended more than DAYS days ago, and their images", "",
                kHistoryFileOption | kAgeOption, runHistoryPrune, "history"},
    };
    return table;
}

std::span<const CommandOption> commandOptions()
{
    static constexpr std::array table = {
        CommandOption{"tcp", "ADDRESS[:PORT]",
                      "TCP to the device at ADDRESS, a host name or an IPv4 or IPv6 address ([::1]:PORT), "
                      "PORT 23 unless given",
                      kConnectionOptions, takeTcp},
        CommandOption{"com", "N", "serial port number N (0 to 255)", kConnectionOptions, takeCom},
        CommandOption{"trace", "", "print every line sent and received on standard error", kConnectionOptions,
                      takeSwitch<&Invocation::trace>},
        CommandOption{"strict-serial", "", "end each serial reply only at a 500 ms pause, never at its content",
                      kConnectionOptions, takeSwitch<&Invocation::strictSerial>},
        CommandOption{"quiet", "", "draw no progress line on a terminal", kConnectionOptions,
                      takeSwitch<&Invocation::quiet>},
        CommandOption{"base", "FILE.tvr",
                      "start from this settings file: read instead of all zero, import instead of the factory defaults",
                      kBaseOption, takeBase},
        CommandOption{"output", "OUT", "write the result to OUT, a settings document if it ends in .yaml or .yml",
                      kOutputOption, takeOutput, 'o'},
        CommandOption{"set-clock", "", "Set RTC clock in device", kServiceOptions,
                      takeServiceSwitch<&ServiceChoice::setClock>},
        CommandOption{"reset-device", "", "RESET device after update", kServiceOptions,
                      takeServiceSwitch<&ServiceChoice::resetDevice>},
        CommandOption{"reset-counters", "", "Reset counters", kServiceOptions,
                      takeServiceSwitch<&ServiceChoice::resetCounters>},
        CommandOption{"erase-log", "", "Erase log memory", kServiceOptions,
                      takeServiceSwitch<&ServiceChoice::eraseLog>},
        CommandOption{"probe", "", "ask each port that may be opened for the device's version", kProbeOption,
                      takeSwitch<&Invocation::probe>},
        CommandOption{"history", "FILE", "the history database instead of the per-user one", kHistoryFileOption,
                      takeHistoryFile},
        CommandOption{"no-history", "", "record nothing in the history (a write then reads no backup)",
                      kRecordingOptions, takeNoHistory},
        CommandOption{"no-backup", "", "write without first reading the device's settings into the history as a backup",
                      kBackupOption, takeSwitch<&Invocation::noBackup>},
        CommandOption{"target", "T", "only the operations on target T, such as tcp:192.168.2.1:23", kListOptions,
                      takeTarget},
        CommandOption{"limit", "N", "only the newest N operations", kListOptions, takeLimit},
        CommandOption{"image", "KIND", "the operation's image: sent, read or backup", kImageOption, takeImage},
        CommandOption{"older-than", "DAYS", "whole days; 0 removes every operation that has ended", kAgeOption,
                      takeOlderThan},
        CommandOption{"json", "", "print the result as JSON", kJsonOption, takeSwitch<&Invocation::json>},
        CommandOption{"jobs", "N", "write up to N devices at once (8 unless given)", kFleetOptions, takeJobs},
        CommandOption{"retries", "K", "try an unreachable device K more times (1 unless given)", kFleetOptions,
                      takeRetries},
        CommandOption{"receipts", "FILE", "append the receipts to FILE instead of PLAN.receipts.jsonl beside the plan",
                      kFleetOptions, takeReceipts},
        CommandOption{"dry-run", "", "check the plan and build every image, but touch no device", kFleetOptions,
                      takeSwitch<&Invocation::dryRun>},
        CommandOption{"resume", "", "skip every device that the history shows given this image and verified",
                      kFleetOptions, takeSwitch<&Invocation::resume>},
    };
    return table;
}

} // namespace telvor
