#include "PluginVersion.h"

#include "Version.h"
#include "framework/Gbk.h"

#include <windows.h>
#include <vector>

namespace check {

namespace {

// The folder of qrvcheck.exe: its path up to the last backslash that is a character of its own.
std::string OwnFolder()
{
    const std::string path = OwnPath();
    const char* slash = nullptr;
    for (const char* p = path.c_str(); *p; p = gbk::Next(p)) {
        if (*p == '\\')
            slash = p;
    }
    return slash == nullptr ? path : std::string(path.c_str(), slash);
}

} // namespace

std::string OwnPath()
{
    char path[MAX_PATH] = "";
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : 0);
}

std::string FileVersionOf(const std::string& path)
{
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0)
        return "";
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, data.data())
        || !::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || info == nullptr
        || length < sizeof(VS_FIXEDFILEINFO))
        return "";
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) + "."
           + std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
}

void CheckPluginVersion(const std::string& plugin, CReport& report)
{
    const std::string path = OwnFolder() + "\\" + plugin + ".dll";
    if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        report.Note("qrvcheck.exe所在的文件夹里没有" + plugin + ".dll（" + path
                    + "），无法读出插件的版本。请把qrvcheck.exe复制到插件旁边再运行");
        return;
    }
    const std::string version = FileVersionOf(path);
    report.Info("插件：" + path + "，版本" + (version.empty() ? "不明" : version));
    if (version != QRVLNK_VERSION_TEXT)
        report.Note("qrvcheck.exe是" + std::string(QRVLNK_VERSION_TEXT) + "版，和插件的版本不同，检查的结果可能不准确。"
                    "请使用和插件同一个安装包里的qrvcheck.exe");
}

} // namespace check
