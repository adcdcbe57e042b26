// The date check of the time edits and of the task list's time column, and the caption of the error
// boxes owned by a run dialog or its list.
#pragma once
#include "framework/DateTime.h"

#include <windows.h>

extern const char kErrorCaption[];

// Parses text in date-only mode into *pResult (invalid on failure). On failure shows the date-format
// message in a box owned by hOwner and returns false.
bool CheckDate(HWND hOwner, const char* text, CDateTime* pResult);
