// What an ordinary user meets. The tests run as root on CI, and root is
// stopped neither by permissions nor by a port's exclusive use, so a test of
// those runs its checks once more in a child process that has given up root
// for an unprivileged user.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace telvor::test_support {

inline constexpr uid_t kOrdinaryUser = 65534;
inline constexpr gid_t kOrdinaryGroup = 65534;

// Hands a folder the test made to the ordinary user when the test runs as
// root, so that the child below may work in it.
inline void giveToOrdinaryUser(const std::filesystem::path& folder)
{
    if (::geteuid() == 0) {
        EXPECT_EQ(::chown(folder.c_str(), kOrdinaryUser, kOrdinaryGroup), 0) << folder;
    }
}

// Runs `body` in a forked child, as the ordinary user when the test runs as
// root and as the running user otherwise. The child prints the failures of
// `body` as they happen; any of them fails the test here.
template <typename Body>
void runAsOrdinaryUser(Body body)
{
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0
            && (::setgroups(0, nullptr) != 0 || ::setgid(kOrdinaryGroup) != 0 || ::setuid(kOrdinaryUser) != 0)) {
            ADD_FAILURE() << "cannot give up root";
        } else {
            // An exception must not carry the child on into the other tests.
            try {
                body();
            } catch (const std::exception& error) {
                ADD_FAILURE() << "exception: " << error.what();
            } catch (...) {
                ADD_FAILURE() << "exception";
            }
        }
        std::fflush(stdout);
        std::fflush(stderr);
        ::_exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the ordinary user's run failed (its messages are above); wait status " << status;
}

} // namespace telvor::test_support
