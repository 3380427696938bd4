#include "write_rows.h"

#include <algorithm>
#include <initializer_list>

namespace telvor {

namespace {

using enum GroupCondition;
using Kind = WriteRow::Kind;

constexpr LineValue n = LineValue::rowIndex();

constexpr LineValue field(std::string_view key, int index = Field::kNotIndexed)
{
    return LineValue::field(key, index);
}

constexpr LineValue second(std::string_view key)
{
    return LineValue::fieldPart(key, 2);
}

constexpr LineValue third(std::string_view key)
{
    return LineValue::fieldPart(key, 3);
}

constexpr LineValue at(std::string_view key)
{
    return LineValue::atRowIndex(key);
}

constexpr WriteRow line(GroupCondition condition, std::string_view format, std::initializer_list<LineValue> values,
                        std::string_view box, std::string_view status, int progress = kProgressUnchanged)
{
    WriteRow row;
    row.condition = condition;
    row.format = format;
    std::copy(values.begin(), values.end(), row.values.begin());
    row.valueCount = static_cast<int>(values.size());
    row.box = box;
    row.status = status;
    row.progressBase = progress;
    return row;
}

constexpr WriteRow indexed(WriteRow row, int first, int last, int progressStep)
{
    row.firstIndex = first;
    row.lastIndex = last;
    row.progressStep = progressStep;
    return row;
}

constexpr WriteRow halt(GroupCondition condition, int progress = kProgressUnchanged)
{
    WriteRow row = line(condition, "HALT!", {}, {}, {}, progress);
    row.kind = Kind::Halt;
    return row;
}

constexpr WriteRow messageBodies()
{
    WriteRow row = indexed(
        line(Always, "SMS%d=%s", {n, at("SMS")}, "No answer from device (SMS%d)", "SMS write error", 50), 0, 9, 2);
    row.kind = Kind::MessageBody;
    return row;
}

constexpr WriteRow apnTexts()
{
    WriteRow row = indexed(
        line(From20, "APN%d=%s", {n, at("APN")}, "No answer from device (APN%d)", "Write error: APN", 0), 0, 2, 5);
    row.lastIndexExtended = 6;
    return row;
}

constexpr WriteRow startingAt(int progress, WriteRow row)
{
    row.progressBefore = progress;
    return row;
}

constexpr WriteRow end(int progress)
{
    WriteRow row;
    row.kind = Kind::End;
    row.progressBase = progress;
    return row;
}

constexpr std::array kWriteRows = {
    line(Always, "PIN=%s NUM0=%s NUM1=%s", {field("PIN"), field("NUM", 0), field("NUM", 1)},
         "No answer from device (PIN)", "Write error (1)", 10),
    line(Always, "NUM2=%s NUM3=%s", {field("NUM", 2), field("NUM", 3)}, "No answer from device (NUM2)",
         "Write error (2)", 20),
    line(Always, "NUM4=%s NUM5=%s", {field("NUM", 4), field("NUM", 5)}, "No answer from device (NUM4)",
         "Write error (3)", 30),
    line(Always, "TRPT=%d SCFG=%d HIST1=%d HIST2=%d", {field("TRPT"), field("SCFG"), field("HIST1"), field("HIST2")},
         "No answer from device (TRPT)", "Write error (4)", 35),
    line(Always, "RCFG=%d,%d,%d CLIP=%d,%d CTRL=%d,%d CSDC=%d",
         {field("RCFG"), second("RCFG"), third("RCFG"), field("CLIP"), second("CLIP"), field("CTRL"), second("CTRL"),
          field("CSDC")},
         "No answer from device (RCFG)", "Write error (5)", 45),
    line(Always, "MCFG1=%d SLIM=%d", {field("MCFG1"), field("SLIM")}, "No answer from device (MCFG1)",
         "Write error (6)", 47),
    line(Always, "RPTHR=%03d,%03d,%03d",
         {LineValue::hourByte("RPTHR", 0), LineValue::hourByte("RPTHR", 1), LineValue::hourByte("RPTHR", 2)},
         "No answer from device (RPTHR)", "Write error (7)", 48),
    line(Always, "ALMD=%03d,%03d COPS=%d", {field("ALMD"), second("ALMD"), field("COPS")},
         "No answer from device (ALMD)", "Write error (8)", 50),
    halt(Always),
    messageBodies(),
    halt(Always),
    indexed(line(Always, "ICFG%d=%d ULO%d=%d UHI%d=%d SCFG%d=%d",
                 {n, at("ICFG"), n, at("ULO"), n, at("UHI"), n, at("SCFG")}, "No answer from device (ICFG%d)",
                 "Write error (inputs cfg)", 70),
            1, 8, 2),
    halt(Always),
    indexed(
        line(Always, "OCFG%d=%d", {n, at("OCFG")}, "No answer from device (OCFG%d)", "Write error (outputs cfg)", 86),
        1, 6, 2),
    line(From19, "LOGT=%d", {field("LOGT")}, "No answer from device (LOGT)", "Write error: LOGT"),
    line(From19, "GRDHR=%03d,%03d,%03d",
         {LineValue::hourByte("GRDHR", 0), LineValue::hourByte("GRDHR", 1), LineValue::hourByte("GRDHR", 2)},
         "No answer from device (GRDHR)", "Write error (GRDHR)"),
    line(From22, "ADEL1=%d ADEL2=%d ADEL3=%d ADEL4=%d",
         {field("ADEL", 1), field("ADEL", 2), field("ADEL", 3), field("ADEL", 4)}, "No answer from device (ADEL1)",
         "Write error: ADEL(1)", 90),
    line(From22, "ADEL5=%d ADEL6=%d ADEL7=%d ADEL8=%d",
         {field("ADEL", 5), field("ADEL", 6), field("ADEL", 7), field("ADEL", 8)}, "No answer from device (ADEL5)",
         "Write error: ADEL(5)", 100),
    halt(From20, 0),
    apnTexts(),
    indexed(line(From20Extended, "EAD%d=%s", {n, at("EAD")}, "No answer from device (EAD%d)", "Write error: EAD", 30),
            0, 5, 5),
    line(From20Extended, "SEML1=%d SEML2=%d SEML3=%d SEML4=%d",
         {field("SEML", 1), field("SEML", 2), field("SEML", 3), field("SEML", 4)}, "No answer from device (SEML1)",
         "Write error: SEML(1)", 70),
    line(From20Extended, "SEML5=%d SEML6=%d SEML7=%d SEML8=%d",
         {field("SEML", 5), field("SEML", 6), field("SEML", 7), field("SEML", 8)}, "No answer from device (SEML5)",
         "Write error: SEML(5)", 90),
    line(From20Extended, "SLOG=%d SLGT=%d", {field("SLOG"), field("SLGT")}, "No answer from device (SLOG)",
         "Write error: SLOG"),
    line(From25, "MCFG2=%d SXML=%d", {field("MCFG2"), field("SXML")}, "No answer from device (MCFG2)",
         "Write error: MCFG"),
    halt(From25ExtendedLines, 0),
    line(From25ExtendedLines, "XCFG1=%d XCFG2=%d XCFG3=%d XCFG4=%d XCFG5=%d XCFG6=%d",
         {field("XCFG", 1), field("XCFG", 2), field("XCFG", 3), field("XCFG", 4), field("XCFG", 5), field("XCFG", 6)},
         "No answer from device (XCFG1)", "Write error: XCFG1", 10),
    line(
        From25ExtendedLines, "XCFG7=%d XCFG8=%d XCFG9=%d XCFG10=%d XCFG11=%d XCFG12=%d",
        {field("XCFG", 7), field("XCFG", 8), field("XCFG", 9), field("XCFG", 10), field("XCFG", 11), field("XCFG", 12)},
        "No answer from device (XCFG7)", "Write error: XCFG7", 12),
    line(From25ExtendedLines, "XCFG13=%d XCFG14=%d XCFG15=%d XCFG16=%d XCFG17=%d",
         {field("XCFG", 13), field("XCFG", 14), field("XCFG", 15), field("XCFG", 16), field("XCFG", 17)},
         "No answer from device (XCFG13)", "Write error: XCFG13", 15),
    line(From28ExtendedLines, "XTYP1=%d XLO1=%d XHI1=%d XTYP9=%d XLO9=%d XHI9=%d",
         {field("XTYP1"), field("XLO1"), field("XHI1"), field("XTYP9"), field("XLO9"), field("XHI9")},
         "No answer from device (XTYP1)", "Write error: XTYP1", 17),
    indexed(
        line(From25ExtendedLines, "XMS%d=%s", {n, at("XMS")}, "No answer from device (XMS%d)", "Write error: XMS", 15),
        1, 17, 5),
    startingAt(10,
               line(From26, "NUM6=%s NUM7=%s NUM8=%s", {field("NUM", 6), field("NUM", 7), field("NUM", 8)},
                    "No answer from device (NUM6)", "Write error (NUM6)", 25)),
    line(From26, "NUM9=%s NUM10=%s", {field("NUM", 9), field("NUM", 10)}, "No answer from device (NUM9)",
         "Write error (NUM9)", 50),
    line(From26, "ATIM=%d", {field("ATIM")}, "No answer from device (ATIM)", "Write error (ATIM)", 60),
    indexed(line(From26, "ECFG%d=%d SCLA%d=%d SCLB%d=%d", {n, at("ECFG"), n, at("SCLA"), n, at("SCLB")},
                 "No answer from device (ECFG%d)", "No answer from device (ECFG%d)", 60),
            1, 8, 5),
    line(From27, "THTP=%d NUID=%d TGAC=%d", {field("THTP"), field("NUID"), field("TGAC")},
         "No answer from device (THTP)", "Write error: THTP"),
    line(From27Http, "URL0=%s", {field("URL0")}, "No answer from device (URL0)", "Write error: URL0"),
    line(From27Http, "URL1=%s", {field("URL1")}, "No answer from device (URL1)", "Write error: URL1"),
    line(From27, "URL2=%s", {LineValue::balanceCode()}, "No answer from device (URL2)", "Write error: URL2"),
    line(From36, "WKD1=%d WKD2=%d WKD3=%d", {field("WKD", 1), field("WKD", 2), field("WKD", 3)},
         "No answer from device (WKD1)", "Write error: WKD"),
    end(100),
};

} // namespace

std::span<const WriteRow> writeRows()
{
    return kWriteRows;
}

std::string buildWriteLine(const WriteRow& row, const SettingsImage& image, const FirmwareVersion& version, int index)
{
    std::vector<FormatValue> values;
    for (const LineValue& value : row.lineValues())
        values.push_back(valueOf(value, image, version, index));
    return formatText(row.format, values);
}

std::vector<std::string> writeLinesFor(const SettingsImage& image, const FirmwareVersion& version)
{
    std::vector<std::string> lines;
    for (const WriteRow& row : writeRows()) {
        if (row.kind == Kind::End || !holds(row.condition, version, image))
            continue;
        if (!row.indexed()) {
            lines.push_back(buildWriteLine(row, image, version, Field::kNotIndexed));
            continue;
        }
        for (int index = row.firstIndex; index <= row.lastIndexFor(version); ++index)
            lines.push_back(buildWriteLine(row, image, version, index));
    }
    return lines;
}

} // namespace telvor
