// The generator: one workspace from a seed, the same every time for the same seed and root.
#pragma once
#include "Workspace.h"

namespace hostile {

Workspace Generate(uint64_t seed, const std::wstring& root, wchar_t driveLetter);

} // namespace hostile
