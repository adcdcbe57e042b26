#include "support/Screenshot.h"

#include "support/TestSupport.h"

#include <cstdlib>

namespace test {

std::string ShotDir()
{
    const char* dir = std::getenv("QRVLNK_SHOT_DIR");
    return dir != nullptr ? dir : "";
}

void OfferScreenshot(GuiScript& s, HWND window, const std::string& name)
{
    ::SetForegroundWindow(window);
    RECT rc = {};
    ::GetWindowRect(window, &rc);
    const std::string marker = ShotDir() + "\\" + name;
    WriteFile(marker + ".ready", std::to_string(rc.left) + " " + std::to_string(rc.top) + " "
                                     + std::to_string(rc.right - rc.left) + " " + std::to_string(rc.bottom - rc.top)
                                     + "\n");
    s.WaitFor([&] { return Exists(marker + ".done"); }, "the screenshot", 60000);
}

} // namespace test
