#include "query_groups.h"

#include "device_keys.h"
#include "image/answer_lines.h"

#include <array>
#include <vector>

namespace telvor {

namespace {

struct QueryGroup {
    std::string_view query;
    std::vector<std::string_view> keys;
};

// Keys as answerLines takes them; "SMS", "APN", "EAD" and "XMS" stand for all
// their numbered lines.
const std::array kQueryGroups = {
    QueryGroup{"SET?", {"PIN",  "NUM0",  "NUM1",  "NUM2",  "NUM3",  "NUM4",  "NUM5",  "TRPT",  "RPTHR", "ALMD", "ULOx",
                        "UHIx", "ICFGx", "SCFGx", "OCFGx", "SCFG",  "SLIM",  "HIST1", "HIST2", "RCFG",  "CLIP", "CTRL",
                        "CSDC", "MCFG1", "LOGT",  "GRDHR", "SEMLx", "ADELx", "SLOG",  "SLGT",  "MCFG2", "ATIM"}},
    QueryGroup{"SMS?", {"SMS"}},
    QueryGroup{"APN?", {"APN"}},
    QueryGroup{"EAD?", {"EAD"}},
    QueryGroup{"XCFG?", {"XCFGx", "XMS", "SXML", "XTYP1", "XLO1", "XHI1", "XTYP9", "XLO9", "XHI9"}},
    QueryGroup{"ECFG?",
               {"NUM6", "NUM7", "NUM8", "NUM9", "NUM10", "ECFGx", "SCLAx", "SCLBx", "COPS", "THTP", "NUID", "TGAC",
                "URL0", "URL1", "URL2", "WKDx"}},
};

} // namespace

std::optional<std::vector<std::string>> queryAnswerLines(std::string_view query, const SettingsImage& image,
                                                         const FirmwareVersion& version)
{
    for (const QueryGroup& group : kQueryGroups) {
        if (group.query != query)
            continue;
        std::vector<std::string> lines;
        for (std::string_view key : group.keys)
            for (std::string& line : answerLines(key, image, version.versionNumber))
                if (deviceHasKey(answerKeyOf(line), version))
                    lines.push_back(std::move(line));
        return lines;
    }
    return std::nullopt;
}

std::string_view answerKeyOf(std::string_view line)
{
    return line.substr(0, line.find('='));
}

} // namespace telvor
