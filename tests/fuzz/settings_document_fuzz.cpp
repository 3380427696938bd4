// Any bytes as a settings document, applied onto the factory defaults: the
// document is refused and the image left as it was, or it applies, and the
// export of the result applies back onto it without changing a byte. The
// same bytes as set arguments, one per line, follow the same rule.
#include "fuzz_check.h"

#include "document/factory_defaults.h"
#include "document/settings_document.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace telvor;

namespace {

void checkOutcome(const std::vector<DocumentError>& errors, const SettingsImage& before, const SettingsImage& after)
{
    if (!errors.empty()) {
        fuzzCheck(after == before, "a refused document changes nothing");
        for (const DocumentError& error : errors)
            fuzzCheck(!error.reason.empty(), "every error has a reason");
        return;
    }
    SettingsImage again = after;
    fuzzCheck(applyDocument(exportDocument(after), again).empty(), "an export applies");
    fuzzCheck(again == after, "an export applied onto its image changes no byte");
}

std::vector<std::string> linesOf(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const SettingsImage defaults = factoryDefaults();

    SettingsImage image = defaults;
    checkOutcome(applyDocument(text, image), defaults, image);

    SettingsImage assigned = defaults;
    checkOutcome(applyAssignments(linesOf(text), assigned), defaults, assigned);
    return 0;
}
