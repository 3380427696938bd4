#include "link/open_file_limit.h"

#include <sys/resource.h>

namespace telvor {

bool allowOpenFiles(std::size_t count)
{
    const auto needed = static_cast<rlim_t>(count);
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return false;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= needed)
        return true;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < needed)
        return false;
    limit.rlim_cur = needed;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

} // namespace telvor
