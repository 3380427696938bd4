#include "support/device_images.h"

#include <string>

namespace telvor {

namespace {

constexpr int kNone = Field::kNotIndexed;

void fill(SettingsImage& image, const std::string& tag, int number)
{
    image.setText(slot("PIN"), tag.substr(0, 4) + "1234");
    for (int index = 0; index <= 10; ++index)
        image.setText(slot("NUM", index), "+4860" + std::to_string(number) + std::to_string(index));
    image.setText(slot("NUM", 3), "1234567890123456");
    image.setNumber(slot("TRPT"), 60000 + number);
    image.setNumber(slot("SCFG"), number);
    image.setNumber(slot("HIST1"), 2 + number);
    image.setNumber(slot("HIST2"), 3 + number);
    image.setNumber(slot("RCFG"), 11 + number);
    image.setNumber(slot("RCFG", kNone, 2), 12 + number);
    image.setNumber(slot("RCFG", kNone, 3), 13 + number);
    image.setNumber(slot("CLIP"), 21 + number);
    image.setNumber(slot("CLIP", kNone, 2), 22 + number);
    image.setNumber(slot("CTRL"), 31 + number);
    image.setNumber(slot("CTRL", kNone, 2), 32 + number);
    image.setNumber(slot("CSDC"), 40 + number);
    image.setNumber(slot("MCFG1"), 129 + number);
    image.setNumber(slot("SLIM"), 50 + number);
    image.bytesOf(slot("RPTHR"))[0] = 1;
    image.bytesOf(slot("RPTHR"))[2] = static_cast<std::uint8_t>(128 + number);
    image.setNumber(slot("ALMD"), 7 + number);
    image.setNumber(slot("ALMD", kNone, 2), 200);
    image.setNumber(slot("LOGT"), 15 + number);
    image.bytesOf(slot("GRDHR"))[1] = static_cast<std::uint8_t>(255 - number);
    for (int index = 0; index <= 9; ++index)
        image.setText(slot("SMS", index), tag + " body " + std::to_string(index) + ", alarm @T=1");
    for (int index = 1; index <= 8; ++index) {
        image.setNumber(slot("ICFG", index), index + number);
        image.setNumber(slot("ULO", index), 100 * index + number);
        image.setNumber(slot("UHI", index), 65000 + index + number);
        image.setNumber(slot("SCFG", index), 10 + index + number);
        image.setNumber(slot("ADEL", index), 60 + index + number);
        image.setNumber(slot("SEML", index), 70 + index + number);
        image.setNumber(slot("ECFG", index), 80 + index + number);
        image.setS16(slot("SCLA", index), static_cast<std::int16_t>(-5 * index - number));
        image.setS16(slot("SCLB", index), static_cast<std::int16_t>(1000 * index + number));
    }
    for (int index = 1; index <= 6; ++index)
        image.setNumber(slot("OCFG", index), 90 + index + number);
    for (int index = 0; index <= 6; ++index)
        image.setText(slot("APN", index), tag + ".apn" + std::to_string(index));
    for (int index = 0; index <= 5; ++index)
        image.setText(slot("EAD", index), tag + std::to_string(index) + "@example.org");
    image.setNumber(slot("SLOG"), 3 + number);
    image.setNumber(slot("SLGT"), 4 + number);
    image.setNumber(slot("MCFG2"), 1 + 2 * number);
    for (int index = 1; index <= 17; ++index) {
        image.setNumber(slot("XCFG", index), 100 + index + number);
        image.setText(slot("XMS", index), tag + " line " + std::to_string(index));
    }
    image.setNumber(slot("SXML"), 5 + number);
    image.setNumber(slot("ATIM"), 30 + number);
    image.setNumber(slot("THTP"), 2 + number);
    image.setNumber(slot("NUID"), 40000 + number);
    image.setNumber(slot("TGAC"), 9 + number);
    image.setText(slot("URL0"), tag + ".example.org");
    image.setText(slot("URL1"), "/telvor/" + tag + "?id=7");
    image.setText(slot("URL2"), "*101#" + tag.substr(0, 1));
    image.setNumber(slot("URL2", kNone, 7), 'B');
    image.setNumber(slot("URL2", kNone, 8), 'C');
    image.setNumber(slot("WKD", 1), 1 + number);
    image.setNumber(slot("WKD", 2), 62);
    image.setNumber(slot("WKD", 3), 127 - number);
    image.setNumber(slot("XTYP1"), 3 + number);
    image.setNumber(slot("XLO1"), 1000 + number);
    image.setNumber(slot("XHI1"), 65535 - number);
    image.setNumber(slot("XTYP9"), 4 + number);
    image.setNumber(slot("XLO9"), 7 + number);
    image.setNumber(slot("XHI9"), 12 + number);
    image.setNumber(slot("COPS"), 26001 + number);
}

} // namespace

SettingsImage everyGroupImage()
{
    SettingsImage image;
    fill(image, "Dev", 0);
    return image;
}

SettingsImage otherImage()
{
    SettingsImage image;
    fill(image, "Pc", 1);
    return image;
}

} // namespace telvor
