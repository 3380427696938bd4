// Room for many descriptors at once: a virtual device per socket, a device
// link per job. The usual soft limit of 1024 open files is raised as far as
// needed, within the hard limit.
#pragma once

#include <cstddef>

namespace telvor {

// False when the process may not have `count` open files.
bool allowOpenFiles(std::size_t count);

} // namespace telvor
