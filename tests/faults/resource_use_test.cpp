// A thousand device operations in a row, some of them failing, against the
// virtual device: the open descriptors end where they began, and the memory
// in use does not grow over the second half.
#include "fault_run.h"
#include "support/device_images.h"

#include <gtest/gtest.h>

#include <fstream>

#include <unistd.h>

namespace telvor {
namespace {

constexpr int kOperations = 1000;
constexpr int kSampleEvery = 50;
// Allocator noise: arenas and cached thread stacks settle at slightly
// different sizes from one sample to the next.
constexpr long kMemoryTolerance = 256 * 1024;

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer keeps freed memory in quarantine, so the resident size
// grows with every allocation whether anything leaks or not; its leak
// checker covers this build instead.
constexpr bool kResidentSizeTellsLeaks = false;
#else
constexpr bool kResidentSizeTellsLeaks = true;
#endif

long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// Versions, reads and writes by turns; every fourth read and write has the
// device close the connection at its first settings line.
FaultSetup setupForOperation(int number)
{
    FaultSetup setup;
    setup.deviceImage = everyGroupImage();
    setup.working = number % 2 ? otherImage() : everyGroupImage();
    setup.timing = Timing{}.scaledDown(25);
    constexpr int kFirstSettingsLine = 5;
    switch (number % 5) {
    case 0:
        setup.operation = Operation::Version;
        break;
    case 1:
    case 3:
        setup.operation = Operation::Read;
        break;
    default:
        setup.operation = Operation::Write;
        break;
    }
    if (number % 4 == 3 && setup.operation != Operation::Version)
        setup.faults.faultsAt[kFirstSettingsLine] = LineFault::Close;
    return setup;
}

TEST(ResourceUse, ThousandOperationsKeepDescriptorsAndMemory)
{
    const int descriptorsAtStart = openDescriptorCount();
    long residentAtHalf = 0;
    long residentMost = 0;
    int failed = 0;
    for (int number = 0; number < kOperations; ++number) {
        const FaultSetup setup = setupForOperation(number);
        const FaultRun run = runWithFaults(setup);
        const bool faulted = !setup.faults.faultsAt.empty();
        ASSERT_EQ(run.result, !faulted) << "operation " << number << ": " << run.status;
        failed += faulted ? 1 : 0;
        ASSERT_EQ(openDescriptorCount(), descriptorsAtStart) << "operation " << number;
        if ((number + 1) % kSampleEvery == 0 && number + 1 >= kOperations / 2) {
            const long resident = residentBytes();
            if (number + 1 == kOperations / 2)
                residentAtHalf = resident;
            residentMost = std::max(residentMost, resident);
        }
    }
    EXPECT_GT(failed, kOperations / 10);
    RecordProperty("ResidentAtHalf", std::to_string(residentAtHalf));
    RecordProperty("ResidentMostAfterHalf", std::to_string(residentMost));
    if (kResidentSizeTellsLeaks) {
        EXPECT_LE(residentMost - residentAtHalf, kMemoryTolerance);
    }
}

} // namespace
} // namespace telvor
