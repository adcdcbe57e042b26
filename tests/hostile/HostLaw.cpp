// Law 5: every automatic run returns 1 to its host and leaves no window of its own behind.
#include "Laws.h"

#include "Text.h"

namespace hostile {

void CheckHost(const RunSeen& seen, std::vector<Violation>* violations)
{
    if (seen.call.value != 1)
        violations->push_back({ 5, std::string(RunName(seen.run)) + " returned " + std::to_string(seen.call.value) });
    for (const std::wstring& window : seen.call.windowsLeft)
        violations->push_back({ 5, "a window was left after the call: " + Utf8(window) });
}

} // namespace hostile
