// Not a check: shows real windows to scripts/screenshots.sh, which photographs the screen. The
// screenshot tests are disabled; the script runs them with QRVLNK_SHOT_DIR naming its marker folder.
#pragma once
#include "support/GuiScript.h"

#include <windows.h>
#include <string>

namespace test {

// The marker folder, or "" outside the script.
std::string ShotDir();
// The host's working directory of the sample installation that scripts/sample_drive.sh lays out
// (QRVLNK_SAMPLE_WORK), or "".
std::string SampleWorkDir();
// Copies the sample installation's plug-in settings into this program's own registry section.
void CopySampleSettings();

// Writes <ShotDir>\<name>.ready with the window's screen rectangle ("x y width height") and waits
// until the script answers with <name>.done; the picture becomes docs/<name>.png.
void OfferScreenshot(GuiScript& s, HWND window, const std::string& name);

} // namespace test
