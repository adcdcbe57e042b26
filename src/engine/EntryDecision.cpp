#include "engine/EntryDecision.h"

std::string FillCodes(const char* pattern, const EntryDecision& decision)
{
    const std::string codes[] = { decision.clientCode, decision.platformCode };
    return FillIn(pattern, "cp", codes);
}

std::string ReasonText(const EntryDecision& decision)
{
    return FillCodes(RowOf(kReasons, decision.reason).words, decision);
}
