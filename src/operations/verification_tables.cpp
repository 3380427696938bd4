#include "verification_tables.h"

#include <algorithm>
#include <initializer_list>

namespace telvor {

namespace {

using enum GroupCondition;
using enum RewriteDelay;

constexpr CompareRow compare(GroupCondition condition, std::string_view key, std::string_view label, int part = 1)
{
    CompareRow row;
    row.condition = condition;
    row.fields[0] = {key, part, label};
    row.fieldCount = 1;
    return row;
}

constexpr CompareRow compareEach(GroupCondition condition, int first, int last,
                                 std::initializer_list<ComparedField> fields)
{
    CompareRow row;
    row.condition = condition;
    std::copy(fields.begin(), fields.end(), row.fields.begin());
    row.fieldCount = static_cast<int>(fields.size());
    row.firstIndex = first;
    row.lastIndex = last;
    return row;
}

constexpr CompareRow balanceCharacter(int character, std::string_view label)
{
    CompareRow row = compare(From36, "URL2", label, character);
    row.balanceCharacter = character;
    return row;
}

constexpr std::array kSettingsComparisons = {
    compare(Always, "PIN", "(PIN)"),
    compareEach(Always, 0, 5, {{"NUM", 1, "(NUM%d)"}}),
    compareEach(Always, 1, 8, {{"ICFG", 1, "(ICFG%d)"}, {"ULO", 1, "(ULO%d)"}, {"UHI", 1, "(UHI%d)"}}),
    compareEach(Always, 1, 6, {{"OCFG", 1, "(OCFG%d)"}}),
    compare(Always, "TRPT", "(RPTPER)"),
    compare(Always, "SCFG", "(SERCFG)"),
    compare(Always, "HIST1", "(HIST1)"),
    compare(Always, "HIST2", "(HIST2)"),
    compare(Always, "RCFG", "(RPTCFG)"),
    compare(Always, "CLIP", "(CLIPCFG)"),
    compare(Always, "CTRL", "(CTRLCFG)"),
    compare(Always, "CSDC", "(CSDCFG)"),
    compare(Always, "MCFG1", "(MCFG1)"),
    compare(From25, "MCFG2", "(MCFG2)"),
    // The device family's own label, doubled parenthesis included: kept
    // exactly as its users have always read it, so it is not to be corrected.
    compare(From17, "SLIM", "(Lim-SMS))"),
    compare(From19, "LOGT", "(LOGT)"),
    compareEach(From22, 1, 8, {{"ADEL", 1, "(ADEL%d)"}}),
    compare(From20Extended, "RCFG", "(RPTCFG2)", 2),
    compare(From20Extended, "SLOG", "(SLOG)"),
    compare(From20Extended, "SLGT", "(SLGT)"),
    compare(From26, "ATIM", "(ATIM)"),
    compare(From26, "RCFG", "(RPTCFG3)", 3),
    compare(From26, "CLIP", "(CLIPCFG2)", 2),
    compare(From26, "CTRL", "(CTRLCFG2)", 2),
};

constexpr std::array kExtendedLineTypeChecks = {
    compare(From28ExtendedLines, "XTYP1", "(XTYP1)"), compare(From28ExtendedLines, "XLO1", "(XLO1)"),
    compare(From28ExtendedLines, "XHI1", "(XHI1)"),   compare(From28ExtendedLines, "XTYP9", "(XTYP9)"),
    compare(From28ExtendedLines, "XLO9", "(XLO9)"),   compare(From28ExtendedLines, "XHI9", "(XHI9)"),
};

constexpr std::array kLateSettingsChecks = {
    compareEach(Always, 6, 10, {{"NUM", 1, "(NUM%d)"}}),
    compare(From27, "NUID", "(NUID)"),
    compare(From27, "THTP", "(THTP)"),
    compare(From27, "TGAC", "(TGAC)"),
    compare(From27, "URL2", "(URL2)"),
    balanceCharacter(7, "(URL2E0)"),
    balanceCharacter(8, "(URL2E1)"),
    compare(From27Http, "URL0", "(URL0)"),
    compare(From27Http, "URL1", "(URL1)"),
};

constexpr std::array kClosingComparisons = {
    compare(OperatorSelection, "COPS", "(COPS)"),
    compare(From36, "WKD1", "(WKD1)"),
    compare(From36, "WKD2", "(WKD2)"),
    compare(From36, "WKD3", "(WKD3)"),
};

struct StageTexts {
    std::string_view haltBox;
    std::string_view haltStatus;
    std::string_view query;
    std::string_view queryBox;
    std::string_view queryStatus;
};

constexpr RewriteStage stage(GroupCondition condition, StageTexts texts, std::initializer_list<ZeroedFields> zeroed,
                             int first, int last, std::initializer_list<RewrittenField> walk)
{
    RewriteStage stage;
    stage.condition = condition;
    stage.haltBox = texts.haltBox;
    stage.haltStatus = texts.haltStatus;
    stage.query = texts.query;
    stage.queryBox = texts.queryBox;
    stage.queryStatus = texts.queryStatus;
    std::copy(zeroed.begin(), zeroed.end(), stage.zeroed.begin());
    stage.zeroedCount = static_cast<int>(zeroed.size());
    stage.firstIndex = first;
    stage.lastIndex = last;
    std::copy(walk.begin(), walk.end(), stage.walk.begin());
    stage.walkCount = static_cast<int>(walk.size());
    return stage;
}

constexpr RewriteStage extendedLinesStage()
{
    RewriteStage xcfg
        = stage(From25ExtendedLines,
                {"No answer from device (HALT 6)", "Connection error (HALT 6)", "XCFG?",
                 "No answer from device (XCFG?)", "Error during cfg. read (XCFG)"},
                {{"XMS", 1, 17}, {"XCFG", 1, 17}, {"SXML"}}, 1, 17,
                {{"XMS", "XMS%d=%s", Short, Long, "(XMS%d/%d)"}, {"XCFG", "XCFG%d=%d", Short, Short, "(XCFG%d)"}});
    xcfg.progressWhenBegun = true;
    xcfg.afterWalk[0] = {"SXML", "SXML=%d", Short, Short, "(SXML)"};
    xcfg.afterWalkCount = 1;
    xcfg.endingChecks = kExtendedLineTypeChecks;
    return xcfg;
}

constexpr RewriteStage lateSettingsStage()
{
    RewriteStage ecfg = stage(From26,
                              {"No answer from device (HALT 7)", "Connection error (HALT 7)", "ECFG?",
                               "No answer from device (ECFG?)", "Error during cfg. read (ECFG)"},
                              {{"NUM", 6, 10}, {"ECFG", 1, 8}, {"SCLA", 1, 8}, {"SCLB", 1, 8}, {"COPS"}}, 1, 8,
                              {{"ECFG", "ECFG%d=%d", Short, Short, "(ECFG%d)"},
                               {"SCLA", "SCLA%d=%d", Short, Short, "(SCLA%d)"},
                               {"SCLB", "SCLB%d=%d", Short, Short, "(SCLB%d)"}});
    ecfg.progressWhenBegun = true;
    ecfg.plainChecks = kLateSettingsChecks;
    return ecfg;
}

constexpr std::array kRewriteStages = {
    stage(Always,
          {"No answer from device (HALT 3)", "Connection error (HALT 3)", "SMS?", "No answer from device (SMS?)",
           "SMS body read error"},
          {{"SMS", 0, 9}}, 0, 9, {{"SMS", "SMS%d=%s", Long, Long, "(SMS%d/%d)"}}),
    stage(From20Extended,
          {"No answer from device (HALT 4)", "Connection error (HALT 4)", "APN?", "No answer from device (APN?)",
           "APN settings read error"},
          {{"APN", 0, 6}}, 0, 6, {{"APN", "APN%d=%s", Long, Long, "(APN%d/%d)"}}),
    stage(From20Extended,
          {"No answer from device Telvor (HALT 5)", "Connection error (HALT 5)", "EAD?", "No answer from device (EAD?)",
           "Error during cfg. read (EAD)"},
          {{"EAD", 0, 5}}, 0, 5, {{"EAD", "EAD%d=%s", Long, Long, "(EAD%d/%d)"}}),
    extendedLinesStage(),
    lateSettingsStage(),
};

} // namespace

std::span<const CompareRow> settingsComparisons()
{
    return kSettingsComparisons;
}

std::span<const RewriteStage> rewriteStages()
{
    return kRewriteStages;
}

std::span<const CompareRow> closingComparisons()
{
    return kClosingComparisons;
}

} // namespace telvor
