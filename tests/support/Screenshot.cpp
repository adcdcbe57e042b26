#include "support/Screenshot.h"

#include "framework/Handle.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <cstdlib>

namespace test {

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

std::string ShotDir()
{
    return Environment("QRVLNK_SHOT_DIR");
}

std::string SampleWorkDir()
{
    return Environment("QRVLNK_SAMPLE_WORK");
}

void CopySampleSettings()
{
    const std::string sample = std::string("Software\\") + settings::kCompanyKey + "\\QRVLNK\\" + settings::kSection;
    HKEY hFrom = nullptr, hTo = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, sample.c_str(), 0, KEY_READ, &hFrom) != ERROR_SUCCESS)
        return;
    CRegKey from(hFrom);
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, CleanProfile::SectionPath().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          &hTo, nullptr) != ERROR_SUCCESS)
        return;
    CRegKey to(hTo);
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[4096];
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
        if (::RegEnumValueA(from, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        ::RegSetValueExA(to, name, 0, type, data, dataSize);
    }
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
