#include "history/operation_record.h"

#include <array>
#include <utility>

namespace telvor {

namespace {

constexpr std::array<std::pair<OperationKind, std::string_view>, 5> kOperationTexts{{
    {OperationKind::Version, "version"},
    {OperationKind::Read, "read"},
    {OperationKind::Write, "write"},
    {OperationKind::Check, "check"},
    {OperationKind::Restore, "restore"},
}};

constexpr std::array<std::pair<Outcome, std::string_view>, 5> kOutcomeTexts{{
    {Outcome::Running, "running"},
    {Outcome::Succeeded, "succeeded"},
    {Outcome::Failed, "failed"},
    {Outcome::Unreachable, "unreachable"},
    {Outcome::Interrupted, "interrupted"},
}};

} // namespace

std::string_view operationText(OperationKind kind)
{
    for (const auto& [known, text] : kOperationTexts)
        if (known == kind)
            return text;
    return {};
}

std::string_view outcomeText(Outcome outcome)
{
    for (const auto& [known, text] : kOutcomeTexts)
        if (known == outcome)
            return text;
    return {};
}

std::optional<Outcome> outcomeNamed(std::string_view text)
{
    for (const auto& [outcome, known] : kOutcomeTexts)
        if (known == text)
            return outcome;
    return std::nullopt;
}

} // namespace telvor
