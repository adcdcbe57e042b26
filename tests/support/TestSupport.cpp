#include "support/TestSupport.h"

#include "framework/App.h"
#include "framework/Handle.h"
#include "framework/Path.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdio>

namespace test {

TempDir::TempDir(const std::string& tag)
{
    static unsigned s_counter = 0;
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    for (;;) {
        char name[MAX_PATH + 64];
        std::snprintf(name, sizeof(name), "%sqrvlnk-%s-%lu-%u", base, tag.c_str(), ::GetCurrentProcessId(), ++s_counter);
        if (::CreateDirectoryA(name, nullptr)) {
            m_path = name;
            break;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

TempDir::~TempDir()
{
    if (!m_path.empty())
        RemoveTree(m_path);
}

CurrentDir::CurrentDir(const std::string& dir)
{
    m_previous = GetCurrentDir();
    ::SetCurrentDirectoryA(dir.c_str());
}

CurrentDir::~CurrentDir()
{
    ::SetCurrentDirectoryA(m_previous.c_str());
}

namespace {

std::string AppKey(const std::string& app)
{
    return std::string("Software\\") + settings::kCompanyKey + "\\" + app;
}

std::string SectionKey(const std::string& app)
{
    return AppKey(app) + "\\" + settings::kSection;
}

void DeleteProfile(const std::string& app)
{
    ::RegDeleteKeyA(HKEY_CURRENT_USER, SectionKey(app).c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, AppKey(app).c_str());
}

} // namespace

std::string CleanProfile::SectionPath()
{
    return SectionKey(CApp::Get()->GetAppName());
}

void CleanProfile::Clear()
{
    DeleteProfile(CApp::Get()->GetAppName());
}

CleanProfile::CleanProfile()
{
    Clear();
}

CleanProfile::~CleanProfile()
{
    Clear();
}

PluginProfile::PluginProfile(const std::string& app) : m_app(app)
{
    Clear();
}

PluginProfile::~PluginProfile()
{
    Clear();
}

void PluginProfile::Clear() const
{
    DeleteProfile(m_app);
}

void PluginProfile::Set(const char* name, DWORD type, const std::string& bytes) const
{
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, SectionKey(m_app).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey,
                          nullptr) != ERROR_SUCCESS)
        return;
    CRegKey key(hKey);
    ::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
}

void PluginProfile::SetString(const char* name, const std::string& text, DWORD type) const
{
    Set(name, type, std::string(text.c_str(), text.size() + 1));
}

void PluginProfile::SetDword(const char* name, DWORD value) const
{
    Set(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof(value)));
}

void PluginProfile::Delete(const char* name) const
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, SectionKey(m_app).c_str(), 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS)
        return;
    CRegKey key(hKey);
    ::RegDeleteValueA(key, name);
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string ReadFile(const std::string& path)
{
    std::string bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDir(const std::string& path)
{
    return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

void RemoveTree(const std::string& path)
{
    for (const std::string& name : ListDir(path)) {
        std::string child = path + "\\" + name;
        ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (IsDirectory(child))
            RemoveTree(child);
        else
            ::DeleteFileA(child.c_str());
    }
    ::RemoveDirectoryA(path.c_str());
}

std::vector<std::string> ListDir(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    CFindHandle find(::FindFirstFileA((dir + "\\*").c_str(), &data));
    if (!find.IsValid())
        return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(find, &data));
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::string, std::string> FilesBelow(const std::string& dir, const std::string& skip)
{
    std::map<std::string, std::string> files;
    for (const std::string& name : ListDir(dir)) {
        const std::string path = dir + "\\" + name;
        if (path == skip)
            continue;
        if (IsDirectory(path)) {
            const std::map<std::string, std::string> below = FilesBelow(path, skip);
            files.insert(below.begin(), below.end());
        } else {
            files[path] = ReadFile(path);
        }
    }
    return files;
}

std::string MakeDeepDir(const std::string& under, size_t length)
{
    const size_t kPart = 60;
    std::string path = under;
    while (path.size() < length) {
        const size_t rest = length - path.size() - 1;
        // Never leave a last part too short to be a name.
        const size_t part = rest > kPart + 1 ? kPart : rest;
        path += "\\" + std::string(part, 'd');
        MakeDir(path);
    }
    return path;
}

bool RegistryValue(const std::string& name, DWORD* type, std::string* data)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, CleanProfile::SectionPath().c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    CRegKey key(hKey);
    DWORD size = 0;
    if (::RegQueryValueExA(key, name.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::string bytes(size, '\0');
    if (::RegQueryValueExA(key, name.c_str(), nullptr, type, reinterpret_cast<BYTE*>(&bytes[0]), &size) != ERROR_SUCCESS)
        return false;
    bytes.resize(size);
    *data = bytes;
    return true;
}

std::vector<std::string> SplitCsvLine(const std::string& line)
{
    std::vector<std::string> fields;
    size_t at = 0;
    for (;;) {
        std::string field;
        if (at < line.size() && line[at] == '"') {
            for (size_t from = at + 1;;) {
                const size_t quote = line.find('"', from);
                field += line.substr(from, quote == std::string::npos ? std::string::npos : quote - from);
                if (quote == std::string::npos) {
                    at = line.size();
                    break;
                }
                if (quote + 1 < line.size() && line[quote + 1] == '"') {
                    field += '"';
                    from = quote + 2;
                    continue;
                }
                at = quote + 1;
                break;
            }
        }
        const size_t comma = line.find(',', at);
        field += line.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        fields.push_back(field);
        if (comma == std::string::npos)
            return fields;
        at = comma + 1;
    }
}

} // namespace test
