// Documents applied one after another: a template, a site's document and a
// device's document combine, each changing only what it names; and the rule
// that a threshold is stored raw and read in the unit of the input's type.
#include "document/factory_defaults.h"
#include "document/setting_table.h"
#include "document/setting_value.h"
#include "document/settings_document.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

void applyLayer(const std::string& document, SettingsImage& image)
{
    const std::vector<DocumentError> errors = applyDocument(document, image);
    ASSERT_TRUE(errors.empty()) << errorLine("doc", errors.front());
}

Value shown(const SettingsImage& image, const char* path)
{
    return shownValue(image, *findSetting(path));
}

const char* const kTemplate = R"(format: telvor-settings 1
internet:
  apn_name: internet
  transmit_period: 12
inputs:
  L1:
    type: T
    low_threshold: 5.0
    high_threshold: 30.0
    high_to_low_alarm: true
)";

const char* const kSite = R"(format: telvor-settings 1
internet:
  apn_name: site.apn
  server_address: "http://telemetry.example.com/report"
basic:
  num_1: "+48600100201"
  num_2: "+48600100202"
inputs:
  L1:
    high_threshold: 27.5
)";

const char* const kDevice = R"(format: telvor-settings 1
basic:
  pin: "4321"
  num_2: "+48600100299"
)";

TEST(Layering, TemplateSiteAndDeviceCombine)
{
    SettingsImage image = factoryDefaults();
    applyLayer(kTemplate, image);
    applyLayer(kSite, image);
    applyLayer(kDevice, image);

    EXPECT_EQ(shown(image, "internet.apn_name"), Value::quoted("site.apn"));
    EXPECT_EQ(shown(image, "internet.transmit_period"), Value::plain("12"));
    EXPECT_EQ(shown(image, "internet.server_address"), Value::quoted("http://telemetry.example.com/report"));
    EXPECT_EQ(shown(image, "inputs.L1.type"), Value::plain("T"));
    EXPECT_EQ(shown(image, "inputs.L1.low_threshold"), Value::plain("5.0"));
    EXPECT_EQ(shown(image, "inputs.L1.high_threshold"), Value::plain("27.5"));
    EXPECT_EQ(shown(image, "inputs.L1.high_to_low_alarm"), Value::plain("true"));
    EXPECT_EQ(shown(image, "basic.num_1"), Value::quoted("+48600100201"));
    EXPECT_EQ(shown(image, "basic.num_2"), Value::quoted("+48600100299"));
    EXPECT_EQ(shown(image, "basic.pin"), Value::quoted("4321"));

    // Everything the three documents do not name is the factory default.
    const std::vector<std::string> changed = differingSettings(factoryDefaults(), image);
    EXPECT_EQ(
        changed,
        (std::vector<std::string>{"basic.num_1", "basic.num_2", "basic.pin", "inputs.L1.type",
                                  "inputs.L1.low_threshold", "inputs.L1.high_threshold", "inputs.L1.high_to_low_alarm",
                                  "internet.apn_name", "internet.transmit_period", "internet.server_address"}));
}

TEST(Layering, OrderDecidesWhatALaterLayerOverrides)
{
    SettingsImage deviceLast = factoryDefaults();
    applyLayer(kSite, deviceLast);
    applyLayer(kDevice, deviceLast);
    SettingsImage siteLast = factoryDefaults();
    applyLayer(kDevice, siteLast);
    applyLayer(kSite, siteLast);
    EXPECT_EQ(shown(deviceLast, "basic.num_2"), Value::quoted("+48600100299"));
    EXPECT_EQ(shown(siteLast, "basic.num_2"), Value::quoted("+48600100202"));
    EXPECT_EQ(differingSettings(deviceLast, siteLast), std::vector<std::string>{"basic.num_2"});
}

// An image whose input L1 has the given type bytes and raw L threshold.
SettingsImage inputWith(std::uint8_t inputFlags, std::uint8_t sensorFlags, std::uint16_t raw)
{
    SettingsImage image = factoryDefaults();
    image.setU8(slot("ICFG", 1), inputFlags);
    image.setU8(slot("SCFG", 1), sensorFlags);
    image.setU16(slot("ULO", 1), raw);
    return image;
}

struct ThresholdRow {
    const char* name;
    SettingsImage image;
    const char* document; // under inputs.L1
    std::uint16_t raw;
    Value shown;
};

void PrintTo(const ThresholdRow& row, std::ostream* out)
{
    *out << row.name;
}

class TypeAndThreshold : public testing::TestWithParam<ThresholdRow> {};

TEST_P(TypeAndThreshold, ThresholdIsStoredRawAndReadInTheTypesUnit)
{
    SettingsImage image = GetParam().image;
    applyLayer(std::string("format: telvor-settings 1\ninputs:\n  L1:\n") + GetParam().document, image);
    EXPECT_EQ(image.u16(slot("ULO", 1)), GetParam().raw);
    EXPECT_EQ(shown(image, "inputs.L1.low_threshold"), GetParam().shown);
}

// -73.2 'C and 50 % are both the raw value 2000.
INSTANTIATE_TEST_SUITE_P(
    Rule, TypeAndThreshold,
    testing::Values(ThresholdRow{"NewTypeKeepsTheRawValue", inputWith(0x80, 0, 2000), "    type: RH\n", 2000,
                                 Value::plain("50")},
                    ThresholdRow{"NewTypeWithoutAUnitShowsMillivolts", inputWith(0x80, 0, 2000), "    type: none\n",
                                 2000, Value::plain("2000")},
                    ThresholdRow{"NewTypeWhereTheUnitCannotShowTheValue", inputWith(0x80, 0, 2982), "    type: RH\n",
                                 2982, Value::rawBits(2982)},
                    ThresholdRow{"ThresholdInTheUnitOfTheDocumentsType", inputWith(0x80, 0, 2000),
                                 "    type: RH\n    low_threshold: 60\n", 2200, Value::plain("60")},
                    ThresholdRow{"TypeAfterTheThresholdInTheDocumentStillComesFirst", inputWith(0, 0, 2000),
                                 "    low_threshold: 25.0\n    type: PT\n", 2982, Value::plain("25.0")},
                    ThresholdRow{"ThresholdInTheUnitOfTheImagesType", inputWith(0x80, 2, 2000),
                                 "    low_threshold: 25.0\n", 2982, Value::plain("25.0")},
                    ThresholdRow{"ThresholdOfAPlainVoltageInput", inputWith(0x80, 2, 2000),
                                 "    type: none\n    low_threshold: 25\n", 25, Value::plain("25")},
                    ThresholdRow{"RawThresholdWhateverTheUnit", inputWith(0x80, 1, 2000),
                                 "    low_threshold: {raw: 1010}\n", 1010, Value::rawBits(1010)}),
    test_support::RowName());

} // namespace
} // namespace telvor
