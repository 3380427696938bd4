// When two rows of a plan name one device: the same host and port however
// the address is written, or the same serial port whether by its number or
// by its path.
#pragma once

#include "link/endpoint.h"

#include <string>

namespace telvor {

struct PlanTargetKey {
    // Equal for two endpoints that reach the same device; empty for a port
    // number that names no device.
    std::string text;
    bool serial = false;
};

PlanTargetKey planTargetKey(const Endpoint& endpoint, const std::string& serialDeviceFormat);

} // namespace telvor
