#include "status_surface.h"

#include <array>
#include <utility>

namespace telvor {

std::string_view stepText(OperationStep step)
{
    static constexpr std::array<std::pair<OperationStep, std::string_view>, 6> kTexts{{
        {OperationStep::CheckingVersion, "Checking version"},
        {OperationStep::ReadingSettings, "Reading settings"},
        {OperationStep::ReadingBackup, "Reading backup"},
        {OperationStep::WritingSettings, "Writing settings"},
        {OperationStep::Verifying, "Verifying"},
        {OperationStep::ServiceCommands, "Service commands"},
    }};
    for (const auto& [known, text] : kTexts)
        if (known == step)
            return text;
    return {};
}

} // namespace telvor
