// Every difference the verification's rules find between the working image
// and a device's, as a check of a device against a file lists them.
#include "support/device_images.h"

#include "operations/device_comparison.h"
#include "support/row_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace telvor {
namespace {

using testing::Contains;
using testing::Not;

std::vector<std::string> namesOf(const std::vector<Slot>& elements)
{
    std::vector<std::string> names;
    for (const Slot& element : elements)
        names.push_back(element.name());
    return names;
}

struct DifferenceRow {
    const char* name;
    const char* versionText;
    // Makes the device's image from the working one.
    std::function<void(SettingsImage&)> change;
    std::vector<std::string> differences;
};

class VerificationDifferences : public testing::TestWithParam<DifferenceRow> {};

TEST_P(VerificationDifferences, AreListedByTheVerificationsRules)
{
    const DifferenceRow& row = GetParam();
    const SettingsImage working = everyGroupImage();
    SettingsImage device = working;
    row.change(device);
    EXPECT_EQ(namesOf(verificationDifferences(working, device, decodeVersion(row.versionText))), row.differences);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VerificationDifferences,
    testing::Values(
        DifferenceRow{"Equal", "v3.6E", [](SettingsImage&) {}, {}},
        DifferenceRow{"DeviceTextLonger",
                      "v3.6E",
                      [](SettingsImage& device) { device.setText(slot("SMS", 2), "Dev body 2, alarm @T=1 and more"); },
                      {}},
        DifferenceRow{
            "DeviceTextShorter", "v3.6E", [](SettingsImage& device) { device.setText(slot("PIN"), "Dev"); }, {"PIN"}},
        DifferenceRow{"NumbersAndTextsOfEveryStage",
                      "v3.6E",
                      [](SettingsImage& device) {
                          device.setNumber(slot("HIST2"), 0);
                          device.setText(slot("SMS", 9), "x");
                          device.setText(slot("APN", 6), "x");
                          device.setText(slot("EAD", 0), "x");
                          device.setNumber(slot("XCFG", 17), 0);
                          device.setNumber(slot("SXML"), 0);
                          device.setNumber(slot("XHI9"), 0);
                          device.setText(slot("NUM", 10), "x");
                          device.setNumber(slot("SCLB", 8), 0);
                          device.setNumber(slot("COPS"), 7);
                          device.setNumber(slot("WKD", 3), 0);
                      },
                      {"HIST2", "SMS9", "APN6", "EAD0", "XCFG17", "SXML", "XHI9", "NUM10", "SCLB8", "COPS", "WKD3"}},
        DifferenceRow{"GroupsTheVersionLacksAreNotCompared",
                      "v2.0",
                      [](SettingsImage& device) {
                          device.setText(slot("APN", 0), "x");
                          device.setNumber(slot("ECFG", 1), 0);
                          device.setText(slot("XMS", 1), "x");
                          device.setNumber(slot("ADEL", 1), 0);
                          device.setText(slot("SMS", 3), "x");
                      },
                      {"SMS3"}},
        DifferenceRow{"FieldsTheVerificationSkips",
                      "v3.6E",
                      [](SettingsImage& device) {
                          device.setNumber(slot("SCFG", 1), 0);
                          device.setNumber(slot("SEML", 8), 0);
                          device.setNumber(slot("ALMD"), 0);
                          device.bytesOf(slot("RPTHR"))[0] = 9;
                      },
                      {}},
        DifferenceRow{"BalanceCharacterAfterAMatchingCode",
                      "v3.6E",
                      [](SettingsImage& device) { device.setNumber(slot("URL2", Field::kNotIndexed, 8), 'Z'); },
                      {"URL2.8"}},
        DifferenceRow{"BalanceCharacterAfterADifferentCode",
                      "v3.6E",
                      [](SettingsImage& device) {
                          device.setText(slot("URL2"), "*102#D");
                          device.setNumber(slot("URL2", Field::kNotIndexed, 7), 'Z');
                      },
                      {"URL2"}},
        DifferenceRow{"BalanceCharacterBeforeVersion36",
                      "v3.5E",
                      [](SettingsImage& device) { device.setNumber(slot("URL2", Field::kNotIndexed, 7), 'Z'); },
                      {}}),
    test_support::RowName());

TEST(VerificationDifferences, EachComparedElementAtMostOnce)
{
    const std::vector<std::string> names
        = namesOf(verificationDifferences(everyGroupImage(), otherImage(), decodeVersion("v3.6E")));
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    for (const char* compared : {"PIN", "NUM0", "ICFG8", "RCFG.3", "SMS0", "APN0", "EAD5", "XMS17", "ECFG8", "URL1"})
        EXPECT_THAT(names, Contains(compared));
    for (const char* skipped : {"SCFG1", "RPTHR", "ALMD", "GRDHR", "SEML1"})
        EXPECT_THAT(names, Not(Contains(skipped)));
}

} // namespace
} // namespace telvor
