#include "link/system_paths.h"

#include <cstdlib>

namespace telvor {

SystemPaths systemPaths()
{
    const char* root = std::getenv(kSystemRootVariable);
    const std::string prefix = root ? root : "";
    return {prefix + "/dev", prefix + "/sys/class/tty"};
}

} // namespace telvor
