// Receipts as a script reads them: one JSON object per line, each line
// whole, appended to what the file held.
#include "fleet/fleet_receipt.h"
#include "fleet_test_support.h"
#include "support/ordinary_user.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>
#include <sstream>
#include <thread>

namespace telvor {
namespace {

// 2026-05-06 07:05:09.123 UTC.
constexpr std::int64_t kStartedMs = 1778051109123;

Receipt writtenReceipt()
{
    Receipt receipt;
    receipt.target = "tcp:[::1]:2323";
    receipt.name = "pompa \xC5\x82\xC4\x85ka";
    receipt.startedMs = kStartedMs;
    receipt.endedMs = kStartedMs + 2500;
    receipt.outcome = DeviceOutcome::Written;
    receipt.status = "Configuration transferred to device,\r\nverification successful.,RTC updated";
    receipt.version = "v3.6E \xB3";
    receipt.imageDigest = std::string(64, 'a');
    receipt.backupDigest = std::string(64, 'b');
    receipt.historyIds = {41, 42};
    receipt.attempts = 2;
    return receipt;
}

TEST(ReceiptLine, HoldsEveryKeyInOrderWithTheDevicesTextsInUtf8)
{
    EXPECT_EQ(receiptLine(writtenReceipt()),
              "{\"target\":\"tcp:[::1]:2323\",\"name\":\"pompa \xC5\x82\xC4\x85ka\","
              "\"started\":\"2026-05-06T07:05:09.123Z\",\"ended\":\"2026-05-06T07:05:11.623Z\","
              "\"outcome\":\"written\",\"status\":\"Configuration transferred to device,\\nverification "
              "successful.,RTC updated\",\"version\":\"v3.6E \xC5\x82\",\"image_sha256\":\""
                  + std::string(64, 'a') + "\",\"backup_sha256\":\"" + std::string(64, 'b')
                  + "\",\"history_ids\":[41,42],\"attempts\":2}");
}

TEST(ReceiptLine, NeverStartedDeviceHasNullsWhereNothingIsKnown)
{
    Receipt receipt;
    receipt.target = "com:3:/dev/ttyS2";
    receipt.startedMs = kStartedMs;
    receipt.endedMs = kStartedMs;
    receipt.outcome = DeviceOutcome::Interrupted;
    receipt.imageDigest = std::string(64, 'c');
    EXPECT_EQ(receiptLine(receipt),
              "{\"target\":\"com:3:/dev/ttyS2\",\"name\":\"\",\"started\":\"2026-05-06T07:05:09.123Z\","
              "\"ended\":\"2026-05-06T07:05:09.123Z\",\"outcome\":\"interrupted\",\"status\":\"\","
              "\"version\":null,\"image_sha256\":\""
                  + std::string(64, 'c') + "\",\"backup_sha256\":null,\"history_ids\":[],\"attempts\":0}");
}

TEST(ReceiptLine, NameThatIsNoUtf8StillGivesJson)
{
    Receipt receipt = writtenReceipt();
    receipt.name = "pump \xFF";
    const nlohmann::json line = nlohmann::json::parse(receiptLine(receipt));
    EXPECT_EQ(line["name"], "pump \xEF\xBF\xBD");
}

TEST(DeviceOutcomeText, NamesEachOutcome)
{
    EXPECT_EQ(deviceOutcomeText(DeviceOutcome::Written), "written");
    EXPECT_EQ(deviceOutcomeText(DeviceOutcome::Unreachable), "unreachable");
    EXPECT_EQ(deviceOutcomeText(DeviceOutcome::Failed), "failed");
    EXPECT_EQ(deviceOutcomeText(DeviceOutcome::Skipped), "skipped");
    EXPECT_EQ(deviceOutcomeText(DeviceOutcome::Interrupted), "interrupted");
}

using ReceiptFileTest = test_support::FleetFolderTest;

TEST_F(ReceiptFileTest, ReceiptsOfManyThreadsFollowWhatTheFileHeldEachLineWhole)
{
    writeFile("plan.receipts.jsonl", receiptLine(writtenReceipt()) + "\n");
    ReceiptFile receipts;
    ASSERT_EQ(receipts.open(path("plan.receipts.jsonl")), std::nullopt);
    constexpr int kThreads = 8;
    constexpr int kEach = 50;
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread)
        threads.emplace_back([&receipts, thread] {
            for (int receipt = 0; receipt < kEach; ++receipt) {
                Receipt written = writtenReceipt();
                written.historyIds = {thread, receipt};
                EXPECT_TRUE(receipts.append(written));
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(receipts.failure(), "");
    std::istringstream lines(contentOf("plan.receipts.jsonl"));
    std::set<std::vector<int>> seen;
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        const nlohmann::json receipt = nlohmann::json::parse(line);
        if (count++ > 0)
            seen.insert(receipt["history_ids"].get<std::vector<int>>());
    }
    EXPECT_EQ(count, 1 + kThreads * kEach);
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kEach));
}

TEST_F(ReceiptFileTest, FullDiskIsNamed)
{
    ReceiptFile receipts;
    ASSERT_EQ(receipts.open("/dev/full"), std::nullopt);
    EXPECT_FALSE(receipts.append(writtenReceipt()));
    EXPECT_EQ(receipts.failure(), "/dev/full: No space left on device");
}

TEST_F(ReceiptFileTest, FolderTheUserMayNotWriteIsNamedForAnOrdinaryUser)
{
    std::filesystem::create_directory(path("locked"));
    ASSERT_EQ(::chmod(path("locked").c_str(), 0555), 0);
    test_support::runAsOrdinaryUser([this] {
        ReceiptFile receipts;
        EXPECT_EQ(receipts.open(path("locked/plan.receipts.jsonl")),
                  path("locked/plan.receipts.jsonl") + ": Permission denied");
    });
}

} // namespace
} // namespace telvor
