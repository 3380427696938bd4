// A YAML stream read as a settings document reads it: its first document,
// and where each later one begins so that they can be refused.
#pragma once

#include <yaml-cpp/yaml.h>

#include <string>
#include <vector>

namespace telvor {

struct YamlStream {
    YAML::Node first; // null for a stream without a document
    std::vector<YAML::Mark> laterDocuments;
};

// Throws YAML::Exception where the text is not YAML, as YAML::LoadAll() does.
// Unlike LoadAll(), it also ends on a token no value can begin with at the
// top level, such as a stray ",", where LoadAll() hands out empty documents
// without moving on until memory runs out.
YamlStream readYamlStream(const std::string& text);

} // namespace telvor
