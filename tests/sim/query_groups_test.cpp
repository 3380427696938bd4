#include "sim/virtual_device.h"
#include "support/key_lists.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace telvor {
namespace {

using test_support::joined;
using test_support::numbered;
// The keys of an answer, in order, after checking that every line ends with
// CR and the answer with "OK" CR.
std::vector<std::string> answerKeys(const std::string& answer)
{
    EXPECT_TRUE(answer.ends_with("OK\r")) << answer;
    std::vector<std::string> keys;
    std::size_t start = 0;
    for (std::size_t end = answer.find('\r'); end != std::string::npos; end = answer.find('\r', start)) {
        const std::string line = answer.substr(start, end - start);
        if (line != "OK")
            keys.push_back(line.substr(0, line.find('=')));
        start = end + 1;
    }
    EXPECT_EQ(start, answer.size());
    return keys;
}

const std::vector<std::string> kSettingsOfAnyVersion = joined({
    {"PIN"},
    numbered("NUM", 0, 5),
    {"TRPT", "RPTHR", "ALMD", "ULOx", "UHIx", "ICFGx", "SCFGx", "OCFGx", "SCFG"},
});
const std::vector<std::string> kReceivers = {"HIST1", "HIST2", "RCFG", "CLIP", "CTRL", "CSDC", "MCFG1"};

struct GroupCase {
    const char* name;
    const char* version;
    const char* query;
    std::vector<std::string> keys;
};

void PrintTo(const GroupCase& row, std::ostream* out)
{
    *out << row.name;
}

class QueryGroup : public testing::TestWithParam<GroupCase> {};

TEST_P(QueryGroup, ListsTheKeysOfTheVersionInOrder)
{
    VirtualDevice device({}, GetParam().version);
    EXPECT_EQ(answerKeys(device.handleLine(GetParam().query).bytes), GetParam().keys);
}

const GroupCase kGroupCases[] = {
    {"SettingsWithoutVersion", "", "SET?", joined({kSettingsOfAnyVersion, kReceivers})},
    // The device reads its version text as the program does: a text that
    // ends before the minor digit names no version at all.
    {"SettingsOfATextEndingBeforeTheMinorDigit", "v9", "SET?", joined({kSettingsOfAnyVersion, kReceivers})},
    {"SettingsOfVersion17", "v1.7", "SET?", joined({kSettingsOfAnyVersion, {"SLIM"}, kReceivers})},
    {"SettingsOfVersion19", "v1.9", "SET?", joined({kSettingsOfAnyVersion, {"SLIM"}, kReceivers, {"LOGT", "GRDHR"}})},
    {"SettingsOfVersion20E", "v2.0E", "SET?",
     joined({kSettingsOfAnyVersion, {"SLIM"}, kReceivers, {"LOGT", "GRDHR", "SEMLx", "SLOG", "SLGT"}})},
    {"SettingsOfVersion22", "v2.2", "SET?",
     joined({kSettingsOfAnyVersion, {"SLIM"}, kReceivers, {"LOGT", "GRDHR", "ADELx"}})},
    {"SettingsOfVersion25", "v2.5", "SET?",
     joined({kSettingsOfAnyVersion, {"SLIM"}, kReceivers, {"LOGT", "GRDHR", "ADELx", "MCFG2"}})},
    {"SettingsOfVersion36E", "v3.6E", "SET?",
     joined({kSettingsOfAnyVersion,
             {"SLIM"},
             kReceivers,
             {"LOGT", "GRDHR", "SEMLx", "ADELx", "SLOG", "SLGT", "MCFG2", "ATIM"}})},
    {"BodiesOfAnyVersion", "", "SMS?", numbered("SMS", 0, 9)},
    {"NoAccessTextsBeforeVersion20", "v1.9E", "APN?", {}},
    {"AccessTextsWithoutMail", "v2.7", "APN?", numbered("APN", 0, 2)},
    {"AccessTextsWithMail", "v2.0E", "APN?", numbered("APN", 0, 6)},
    {"NoMailAddressesWithoutE", "v2.7", "EAD?", {}},
    {"MailAddresses", "v2.0E", "EAD?", numbered("EAD", 0, 5)},
    {"NoExtendedLinesBeforeVersion25", "v2.2E", "XCFG?", {}},
    {"ExtendedLinesOfVersion25", "v2.5", "XCFG?", joined({{"XCFGx"}, numbered("XMS", 1, 17), {"SXML"}})},
    {"ExtendedLinesWithSensors", "v2.8", "XCFG?",
     joined({{"XCFGx"}, numbered("XMS", 1, 17), {"SXML", "XTYP1", "XLO1", "XHI1", "XTYP9", "XLO9", "XHI9"}})},
    {"NoFurtherNumbersBeforeVersion26", "v2.5E", "ECFG?", {}},
    {"FurtherNumbersOfVersion26", "v2.6", "ECFG?", joined({numbered("NUM", 6, 10), {"ECFGx", "SCLAx", "SCLBx"}})},
    {"HttpFromVersion27", "v2.7", "ECFG?",
     joined({numbered("NUM", 6, 10), {"ECFGx", "SCLAx", "SCLBx", "THTP", "NUID", "TGAC", "URL0", "URL1", "URL2"}})},
    {"NoNetworkCodeBeforeModelD", "v2.8C", "ECFG?",
     joined({numbered("NUM", 6, 10), {"ECFGx", "SCLAx", "SCLBx", "THTP", "NUID", "TGAC", "URL0", "URL1", "URL2"}})},
    {"NetworkCodeFromModelD", "v2.8D", "ECFG?",
     joined({numbered("NUM", 6, 10),
             {"ECFGx", "SCLAx", "SCLBx", "COPS", "THTP", "NUID", "TGAC", "URL0", "URL1", "URL2"}})},
    {"NetworkCodeFromVersion29", "v2.9", "ECFG?",
     joined({numbered("NUM", 6, 10),
             {"ECFGx", "SCLAx", "SCLBx", "COPS", "THTP", "NUID", "TGAC", "URL0", "URL1", "URL2"}})},
    {"WeekDaysFromVersion36", "v3.6", "ECFG?",
     joined({numbered("NUM", 6, 10),
             {"ECFGx", "SCLAx", "SCLBx", "COPS", "THTP", "NUID", "TGAC", "URL0", "URL1", "URL2", "WKDx"}})},
};

INSTANTIATE_TEST_SUITE_P(Versions, QueryGroup, testing::ValuesIn(kGroupCases), test_support::RowName());

TEST(QueryGroupValues, MultiValueKeysCarryTheValuesOfTheVersion)
{
    SettingsImage image;
    for (int part = 1; part <= 3; ++part)
        image.setNumber(*slotByName("RCFG", part), 2 * part + 1);
    image.setNumber(*slotByName("CLIP", 2), 5);
    image.setText(*slotByName("URL2"), "*101*2");
    image.setNumber(*slotByName("URL2", 7), '#');
    const std::string older = VirtualDevice(image, "v3.5").handleLine("SET?").bytes;
    EXPECT_NE(older.find("\rRCFG=03,05,07\rCLIP=00,05\r"), std::string::npos) << older;
    EXPECT_NE(VirtualDevice(image, "v1.9").handleLine("SET?").bytes.find("\rRCFG=03\rCLIP=00\r"), std::string::npos);
    EXPECT_NE(VirtualDevice(image, "v3.5").handleLine("ECFG?").bytes.find("\rURL2=*101*2\r"), std::string::npos);
    EXPECT_NE(VirtualDevice(image, "v3.6").handleLine("ECFG?").bytes.find("\rURL2=*101*2#\r"), std::string::npos);
}

} // namespace
} // namespace telvor
