// The generator: one workspace from a seed, the same every time for the same seed and root.
#pragma once
#include "Workspace.h"

namespace hostile {

Workspace Generate(uint64_t seed, const std::wstring& root, wchar_t driveLetter);
// What an unattended night adds to a workspace, from its own chance so that the rest stays as it was:
// a torn last line in the record, a held older record, slow answers to error boxes and a host timer
// that calls again (Unattended.cpp).
void Unattended(Workspace& ws);

} // namespace hostile
