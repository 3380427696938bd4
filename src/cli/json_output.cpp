#include "json_output.h"

#include "console.h"

#include "frontend/windows_1250.h"

namespace telvor {

void printJson(const nlohmann::json& document)
{
    // Texts from sysfs or file names may be no valid UTF-8; the document
    // must still be valid JSON.
    printLine(document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace));
}

std::string utf8Text(std::string_view windows1250)
{
    return decodeWindows1250(windows1250).toStdString();
}

} // namespace telvor
