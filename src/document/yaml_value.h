// What a YAML node gives as a setting's value.
#pragma once

#include "document_value.h"

#include <yaml-cpp/yaml.h>

#include <variant>

namespace telvor {

// The place of a mark (0-based in yaml-cpp), or `fallback` for a node
// without one (an empty value).
Position positionOf(const YAML::Mark& mark, Position fallback = {});

// The node as a Value; a mapping that is {raw: N} with N no integer is
// refused here, since no setting could read it. `fallback` is where an
// empty value stands: after its key.
std::variant<Value, Refusal> valueOfNode(const YAML::Node& node, Position fallback);

} // namespace telvor
