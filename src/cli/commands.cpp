#include "commands.h"

#include "connection_option.h"
#include "device_commands.h"
#include "diff_command.h"
#include "show_command.h"

#include <array>

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

} // namespace

std::span<const Command> commands()
{
    static constexpr std::array table = {
        Command{"version", "ask the device for its firmware version", "", kConnectionOptions, runVersion},
        Command{"read", "read the device's settings into OUT.tvr", "OUT.tvr", kConnectionOptions | kBaseOption,
                runRead},
        Command{"write", "write FILE.tvr to the device, verify it, then run the chosen service commands", "FILE.tvr",
                kConnectionOptions | kServiceOptions, runWrite},
        Command{"show", "print FILE.tvr as the device's KEY=value answer lines", "FILE.tvr", kNoOptions, runShow},
        Command{"diff", "list the fields in which A.tvr and B.tvr differ", "A.tvr B.tvr", kNoOptions, runDiff},
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
        CommandOption{"base", "FILE.tvr", "start the read from this file instead of all zero", kBaseOption, takeBase},
        CommandOption{"set-clock", "", "Set RTC clock in device", kServiceOptions,
                      takeServiceSwitch<&ServiceChoice::setClock>},
        CommandOption{"reset-device", "", "RESET device after update", kServiceOptions,
                      takeServiceSwitch<&ServiceChoice::resetDevice>},
        CommandOption{"reset-counters", "", "Reset counters", kServiceOptions,
                      takeServiceSwitch<&ServiceChoice::resetCounters>},
        CommandOption{"erase-log", "", "Erase log memory", kServiceOptions,
                      takeServiceSwitch<&ServiceChoice::eraseLog>},
    };
    return table;
}

} // namespace telvor
