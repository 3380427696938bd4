// Plans checked and their images built before any device is touched: every
// refusal names the plan's line, the column and the reason.
#include "fleet/fleet_plan.h"
#include "fleet_test_support.h"
#include "support/ordinary_user.h"
#include "support/row_name.h"

#include "document/factory_defaults.h"
#include "document/settings_document.h"
#include "image/settings_file.h"
#include "link/serial_device_path.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace telvor {
namespace {

// "{folder}" in a row's texts stands for the test's folder.
std::string placed(std::string text, const std::string& folder)
{
    for (std::size_t at = text.find("{folder}"); at != std::string::npos; at = text.find("{folder}", at))
        text.replace(at, 8, folder);
    return text;
}

SettingsImage baseTemplate()
{
    SettingsImage image = factoryDefaults();
    const std::vector<std::string> changes = {"basic.periodical_report_period=60"};
    EXPECT_TRUE(applyAssignments(changes, image).empty());
    return image;
}

SettingsImage changed(SettingsImage image, const std::vector<std::string>& assignments)
{
    EXPECT_TRUE(applyAssignments(assignments, image).empty());
    return image;
}

class FleetPlan : public test_support::FleetFolderTest {
protected:
    void SetUp() override
    {
        FleetFolderTest::SetUp();
        ASSERT_TRUE(writeSettingsFile(path("t.tvr"), baseTemplate()).ok);
    }
    CheckedPlan check(const std::string& plan) const { return checkPlan(path(plan), kDefaultSerialDeviceFormat); }
};

TEST_F(FleetPlan, BuildsEachDevicesImageFromItsTemplateAndItsRow)
{
    writeFile("sub/site.yaml", "format: telvor-settings 1\nbasic:\n  pin: \"4321\"\n");
    writeFile("plans/site.csv",
              "\xEF\xBB\xBFtarget;template;name;basic.num_1;internet.uid;messages.L1\r\n"
              "tcp:10.0.0.5;../t.tvr;pump 1;+48600100200;7;\"Alarm; pump \"\"one\"\"\"\r\n"
              "tcp:[::1]:2323;../sub/site.yaml;;;;\r\n"
              "com:3;../t.tvr;tank;+48600100300;;\r\n"
              "serial:/dev/ttyUSB0;../sub/site.yaml;;;9;\r\n");
    const CheckedPlan plan = check("plans/site.csv");
    ASSERT_EQ(plan.errors, std::vector<std::string>{});
    ASSERT_EQ(plan.devices.size(), 4u);
    const SettingsImage site = changed(factoryDefaults(), {"basic.pin=4321"});
    const std::vector<std::tuple<int, std::string, std::string, SettingsImage, int>> expected = {
        {2, "tcp:10.0.0.5:23", "pump 1",
         changed(baseTemplate(), {"basic.num_1=+48600100200", "internet.uid=7", "messages.L1=Alarm; pump \"one\""}), 3},
        {3, "tcp:[::1]:2323", "", site, 0},
        {4, "com:3:/dev/ttyS2", "tank", changed(baseTemplate(), {"basic.num_1=+48600100300"}), 1},
        {5, "serial:/dev/ttyUSB0", "", changed(site, {"internet.uid=9"}), 1},
    };
    for (std::size_t index = 0; index < expected.size(); ++index) {
        const PlannedDevice& device = plan.devices[index];
        const auto& [line, target, name, image, differing] = expected[index];
        EXPECT_EQ(device.line, line);
        EXPECT_EQ(device.target, target);
        EXPECT_EQ(device.name, name);
        EXPECT_EQ(device.image.bytes(), image.bytes()) << target;
        EXPECT_EQ(device.differingSettings, differing) << target;
    }
    EXPECT_EQ(std::get<TcpEndpoint>(plan.devices[0].endpoint), (TcpEndpoint{"10.0.0.5", 23}));
    EXPECT_EQ(std::get<SerialPortNumber>(plan.devices[2].endpoint), SerialPortNumber{3});
}

struct PlanErrorRow {
    const char* name;
    std::string plan;
    std::vector<std::string> errors;
};

void PrintTo(const PlanErrorRow& row, std::ostream* out)
{
    *out << row.name;
}

class FleetPlanErrors : public FleetPlan, public testing::WithParamInterface<PlanErrorRow> {};

TEST_P(FleetPlanErrors, AreEveryOneNamedAndNoDeviceIsPlanned)
{
    writeFile("bad.yaml", "format: telvor-settings 1\nbasic:\n  pin: \"123456789\"\n");
    std::filesystem::create_directory(path("folder.tvr"));
    writeFile("ttyFake", "");
    std::filesystem::create_symlink(path("ttyFake"), path("ttyLink"));
    writeFile("plan.csv", placed(GetParam().plan, m_folder.string()));
    const CheckedPlan plan = check("plan.csv");
    std::vector<std::string> expected;
    for (const std::string& error : GetParam().errors)
        expected.push_back(placed(error, m_folder.string()));
    EXPECT_EQ(plan.errors, expected);
    EXPECT_TRUE(plan.devices.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FleetPlanErrors,
    testing::Values(
        PlanErrorRow{"UnknownSettingColumn",
                     "target,template,basic.nmu_1,name\ntcp:a,t.tvr,1,x\n",
                     {"{folder}/plan.csv:1: basic.nmu_1: unknown setting"}},
        PlanErrorRow{"NoTargetAndNoTemplateColumn",
                     "name,basic.num_1\nx,1\n",
                     {"{folder}/plan.csv:1: no target column", "{folder}/plan.csv:1: no template column"}},
        PlanErrorRow{
            "ColumnWithoutNameAndColumnTwice",
            "target, template ,,template\ntcp:a,t.tvr,,t.tvr\n",
            {"{folder}/plan.csv:1: column 3 has no name", "{folder}/plan.csv:1: template: the column is given twice"}},
        PlanErrorRow{"RowsOfTheWrongWidth",
                     "target,template\ntcp:a,t.tvr,x\ntcp:b\ntcp:c,t.tvr\n",
                     {"{folder}/plan.csv:2: 3 fields where the header has 2",
                      "{folder}/plan.csv:3: 1 field where the header has 2"}},
        PlanErrorRow{"TargetsNotGivenOrNoTargets",
                     "target,template\n,t.tvr\nftp:x,t.tvr\ncom:0,t.tvr\ntcp:host:65536,t.tvr\ntcp:[::1,t.tvr\n",
                     {"{folder}/plan.csv:2: target: empty",
                      "{folder}/plan.csv:3: target: not a target: \"ftp:x\"; write tcp:HOST[:PORT], com:N or "
                      "serial:PATH",
                      "{folder}/plan.csv:4: target: com:0 names no serial port",
                      "{folder}/plan.csv:5: target: not a target: \"tcp:host:65536\"; write tcp:HOST[:PORT], "
                      "com:N or serial:PATH",
                      "{folder}/plan.csv:6: target: not a target: \"tcp:[::1\"; write tcp:HOST[:PORT], com:N or "
                      "serial:PATH"}},
        PlanErrorRow{
            "TcpTargetGivenTwiceHoweverItIsWritten",
            "target,template\ntcp:10.0.0.5,t.tvr\ntcp:10.0.0.5:23,t.tvr\ntcp:[::1]:80,t.tvr\n"
            "tcp:[0:0::1]:80,t.tvr\ntcp:Pump.example,t.tvr\ntcp:pump.EXAMPLE:23,t.tvr\ntcp:10.0.0.5:24,t.tvr\n",
            {"{folder}/plan.csv:3: target: tcp:10.0.0.5:23 is the target of line 2 too",
             "{folder}/plan.csv:5: target: tcp:[0:0::1]:80 is the target of line 4 too",
             "{folder}/plan.csv:7: target: tcp:pump.EXAMPLE:23 is the target of line 6 too"}},
        PlanErrorRow{"SerialPortGivenTwiceByNumberOrPath",
                     "target,template\ncom:1,t.tvr\nserial:/dev/ttyS0,t.tvr\nserial:{folder}/ttyLink,t.tvr\n"
                     "serial:{folder}/ttyFake,t.tvr\ncom:2,t.tvr\n",
                     {"{folder}/plan.csv:3: target: serial:/dev/ttyS0 is the serial port of line 2 too",
                      "{folder}/plan.csv:5: target: serial:{folder}/ttyFake is the serial port of line 4 too"}},
        PlanErrorRow{"TemplatesNotGivenMissingOrNoFile",
                     "target,template\ntcp:a,\ntcp:b,missing.tvr\ntcp:c,folder.tvr\n",
                     {"{folder}/plan.csv:2: template: empty",
                      "{folder}/plan.csv:3: template: {folder}/missing.tvr: No such file or directory",
                      "{folder}/plan.csv:4: template: {folder}/folder.tvr: Is a directory"}},
        PlanErrorRow{"DocumentTemplateWithErrorsNamedOnceAndAtEachRow",
                     "target,template\ntcp:a,bad.yaml\ntcp:b,bad.yaml\n",
                     {"{folder}/bad.yaml:3:8: basic.pin: Please enter no more than 8 characters.",
                      "{folder}/plan.csv:2: template: {folder}/bad.yaml: the document has errors",
                      "{folder}/plan.csv:3: template: {folder}/bad.yaml: the document has errors"}},
        PlanErrorRow{"ValuesTheirSettingsRefuse",
                     "target,template,internet.uid,basic.report_hours,basic.pin\n"
                     "tcp:a,t.tvr,x,\"[8,30]\",1234\ntcp:b,t.tvr,65536,,123456789\n",
                     {"{folder}/plan.csv:2: basic.report_hours: Please enter an integer between 0 and 23.",
                      "{folder}/plan.csv:2: internet.uid: Please enter an integer.",
                      "{folder}/plan.csv:3: basic.pin: Please enter no more than 8 characters.",
                      "{folder}/plan.csv:3: internet.uid: Please enter an integer between 0 and 65535."}},
        PlanErrorRow{"LineBreakInAMessageAndTheLinesAfterIt",
                     "target;template;name;messages.L1\r\ntcp:a;t.tvr;\"pump\r\none\";\"Alarm\r\nzone 2\"\r\n"
                     "tcp:b;t.tvr;x;y;z\r\n",
                     {"{folder}/plan.csv:2: name: holds a line break",
                      "{folder}/plan.csv:2: messages.L1: holds a line break, which the device cannot keep: its "
                      "lines end at CR and it passes over LF",
                      "{folder}/plan.csv:5: 5 fields where the header has 4"}},
        PlanErrorRow{"QuoteNeverClosed",
                     "target,template\ntcp:a,\"t.tvr\n",
                     {"{folder}/plan.csv:2: a quoted field is not closed"}},
        PlanErrorRow{"NoHeader", "\r\n;;\r\n", {"{folder}/plan.csv: no header line"}}),
    test_support::RowName());

TEST_F(FleetPlan, MissingPlanIsNamed)
{
    EXPECT_EQ(check("absent.csv").errors, std::vector<std::string>{path("absent.csv") + ": No such file or directory"});
}

TEST_F(FleetPlan, HeaderAloneIsAPlanOfNoDevice)
{
    writeFile("plan.csv", "target,template,name\n");
    const CheckedPlan plan = check("plan.csv");
    EXPECT_TRUE(plan.errors.empty());
    EXPECT_TRUE(plan.devices.empty());
}

// Root reads files whatever their mode: the ordinary user meets the refusal.
TEST_F(FleetPlan, UnreadablePlanAndTemplateAreNamedForAnOrdinaryUser)
{
    writeFile("plan.csv", "target,template\ntcp:a,t.tvr\n");
    writeFile("locked.csv", "target,template\ntcp:a,t.tvr\n");
    ASSERT_EQ(::chmod(path("t.tvr").c_str(), 0), 0);
    ASSERT_EQ(::chmod(path("locked.csv").c_str(), 0), 0);
    test_support::runAsOrdinaryUser([this] {
        EXPECT_EQ(
            check("plan.csv").errors,
            std::vector<std::string>{path("plan.csv") + ":2: template: " + path("t.tvr") + ": Permission denied"});
        EXPECT_EQ(check("locked.csv").errors, std::vector<std::string>{path("locked.csv") + ": Permission denied"});
    });
}

} // namespace
} // namespace telvor
