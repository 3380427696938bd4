// The ways a virtual device can be told to misbehave, so that the
// configuration program's error handling can be tried and tested.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace telvor {

// What the device does at a line chosen by its number; the line itself is not
// acted on.
enum class LineFault {
    Close,   // closes the connection
    Silent,  // answers nothing
    Error,   // answers "ERROR" CR
    Garbage, // answers bytes that are no reply
};

struct DeviceFaults {
    // Lines beginning with one of these are neither acted on nor answered.
    std::vector<std::string> silentPrefixes;
    // Lines beginning with one of these are not acted on and answered "ERROR" CR.
    std::vector<std::string> errorPrefixes;
    // Answer key -> how many query answers, from the first on, report a wrong value.
    std::map<std::string, int, std::less<>> corruptAnswers;
    // Answer keys left out of every answer.
    std::set<std::string, std::less<>> omittedKeys;
    // Answer key -> the value reported instead of the stored one.
    std::map<std::string, std::string, std::less<>> reportedValues;
    // Line number within a connection (from 1) -> what happens at that line.
    std::map<int, LineFault> faultsAt;
    // The connection is closed once this many lines were answered; 0 never.
    int dropAfter = 0;
};

} // namespace telvor
