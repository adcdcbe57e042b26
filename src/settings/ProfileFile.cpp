#include "settings/ProfileFile.h"

#include "framework/Handle.h"

#include <windows.h>
#include <cstring>

namespace settings {

namespace {

typedef std::u16string Text;
static_assert(sizeof(char16_t) == sizeof(wchar_t), "UTF-16 code units");

LPWSTR Wide(Text& text)
{
    return reinterpret_cast<LPWSTR>(&text[0]);
}

LPCWSTR Wide(const Text& text)
{
    return reinterpret_cast<LPCWSTR>(text.data());
}

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LEMark[] = "\xFF\xFE";
const char kUtf16BEMark[] = "\xFE\xFF";

// The blanks the profile functions trim: the ASCII white space and ^Z.
bool IsBlank(char16_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

Text TrimLeft(const Text& text)
{
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    return text.substr(start);
}

Text TrimRight(const Text& text)
{
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

Text Trim(const Text& text)
{
    return TrimLeft(TrimRight(text));
}

bool StartsWith(const std::string& bytes, const char* mark)
{
    return bytes.compare(0, strlen(mark), mark) == 0;
}

Text FromCodePage(UINT codePage, const std::string& bytes)
{
    const int n = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    Text text(n, u'\0');
    if (n > 0)
        ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), Wide(text), n);
    return text;
}

std::string ToCodePage(UINT codePage, const Text& text)
{
    const int n = ::WideCharToMultiByte(codePage, 0, Wide(text), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string bytes(n, '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, 0, Wide(text), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

Text FromUtf16(const std::string& bytes, bool bBigEndian)
{
    Text text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char first = bytes[2 * i], second = bytes[2 * i + 1];
        text[i] = static_cast<char16_t>(bBigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

std::string ToUtf16(const Text& text, bool bBigEndian)
{
    std::string bytes;
    for (char16_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bBigEndian ? high : low;
        bytes += bBigEndian ? low : high;
    }
    return bytes;
}

Text Upper(Text text)
{
    if (!text.empty())
        ::CharUpperBuffW(Wide(text), static_cast<DWORD>(text.size()));
    return text;
}

bool SameName(const Text& a, const Text& b)
{
    return a.size() == b.size() && Upper(a) == Upper(b);
}

} // namespace

bool CProfileFile::Load(const std::string& path)
{
    m_sections.assign(1, Section());
    m_encoding = kAnsi;
    m_bChanged = false;
    m_nRawSection = m_nRawKey = kNone;
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)
                           || read != bytes.size()))
        return false;
    if (StartsWith(bytes, kUtf8Mark)) {
        m_encoding = kUtf8;
        Parse(FromCodePage(CP_UTF8, bytes.substr(strlen(kUtf8Mark))));
    } else if (StartsWith(bytes, kUtf16LEMark) || StartsWith(bytes, kUtf16BEMark)) {
        m_encoding = StartsWith(bytes, kUtf16LEMark) ? kUtf16LE : kUtf16BE;
        Parse(FromUtf16(bytes.substr(2), m_encoding == kUtf16BE));
    } else {
        Parse(FromCodePage(CP_ACP, bytes));
    }
    return true;
}

void CProfileFile::Parse(const Text& text)
{
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find_first_of(u"\r\n", pos);
        if (end == Text::npos)
            end = text.size();
        const Text line = Trim(text.substr(pos, end - pos));
        pos = text.find_first_not_of(u"\r\n", end);
        if (pos == Text::npos)
            pos = text.size();
        if (line.empty())
            continue;
        const size_t close = line.rfind(u']');
        if (line[0] == u'[' && close != Text::npos) {
            m_sections.push_back({ Trim(line.substr(1, close - 1)), {} });
            continue;
        }
        Key key;
        const size_t equals = line.find(u'=');
        key.bHasValue = equals != Text::npos;
        key.name = key.bHasValue ? TrimRight(line.substr(0, equals)) : line;
        if (key.bHasValue)
            key.value = TrimLeft(line.substr(equals + 1));
        // Of several lines in a row that start with "=", only the first is kept.
        std::vector<Key>& keys = m_sections.back().keys;
        if (!key.name.empty() || keys.empty() || !keys.back().name.empty())
            keys.push_back(key);
    }
}

size_t CProfileFile::FindSection(const Text& name) const
{
    size_t n = 0;
    while (n < m_sections.size() && (m_sections[n].name.empty() || !SameName(m_sections[n].name, name)))
        ++n;
    return n;
}

size_t CProfileFile::FindOrAddSection(const Text& name)
{
    const size_t n = FindSection(name);
    if (n == m_sections.size())
        m_sections.push_back({ name, {} });
    return n;
}

void CProfileFile::TrimRawValue()
{
    if (m_nRawSection == kNone)
        return;
    Text& raw = m_sections[m_nRawSection].keys[m_nRawKey].value;
    raw = TrimRight(raw);
    m_nRawSection = m_nRawKey = kNone;
}

void CProfileFile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    const Text keyName = Trim(FromCodePage(CP_ACP, key));
    const Text text = TrimLeft(FromCodePage(CP_ACP, value));
    const size_t nSection = FindOrAddSection(Trim(FromCodePage(CP_ACP, section)));
    std::vector<Key>& keys = m_sections[nSection].keys;
    size_t nKey = 0;
    while (nKey < keys.size() && !SameName(keys[nKey].name, keyName))
        ++nKey;
    if (nKey < keys.size() && keys[nKey].bHasValue && TrimRight(keys[nKey].value) == text)
        return;
    TrimRawValue();
    if (nKey == keys.size())
        keys.push_back({ keyName, true, text });
    else
        keys[nKey] = { keys[nKey].name, true, text };
    m_nRawSection = nSection;
    m_nRawKey = nKey;
    m_bChanged = true;
}

void CProfileFile::ReplaceSection(const std::string& section, const IniKeys& keys)
{
    const Text sectionName = Trim(FromCodePage(CP_ACP, section));
    bool bEmptied = false;
    for (size_t n = 0; n < m_sections.size(); ++n) {
        Section& candidate = m_sections[n];
        if (candidate.name.empty() || candidate.keys.empty() || !SameName(candidate.name, sectionName))
            continue;
        if (n == m_nRawSection)
            m_nRawSection = m_nRawKey = kNone;
        candidate.keys.clear();
        bEmptied = true;
    }
    if (bEmptied || !keys.empty())
        TrimRawValue();
    m_bChanged = m_bChanged || bEmptied;
    if (keys.empty())
        return;
    // The section is empty and the names differ: every key is added, none looked up.
    const size_t nSection = FindOrAddSection(sectionName);
    std::vector<Key>& added = m_sections[nSection].keys;
    for (size_t i = 0; i < keys.size(); ++i) {
        const Text value = TrimLeft(FromCodePage(CP_ACP, keys[i].second));
        added.push_back({ Trim(FromCodePage(CP_ACP, keys[i].first)), true, i + 1 < keys.size() ? TrimRight(value) : value });
    }
    m_nRawSection = nSection;
    m_nRawKey = added.size() - 1;
    m_bChanged = true;
}

std::string CProfileFile::Encode(const Text& text) const
{
    switch (m_encoding) {
    case kUtf8:
        return kUtf8Mark + ToCodePage(CP_UTF8, text);
    case kUtf16LE:
        return kUtf16LEMark + ToUtf16(text, false);
    case kUtf16BE:
        return kUtf16BEMark + ToUtf16(text, true);
    default:
        return ToCodePage(CP_ACP, text);
    }
}

bool CProfileFile::Save(const std::string& path) const
{
    if (!m_bChanged)
        return true;
    Text text;
    for (const Section& section : m_sections) {
        if (!section.name.empty())
            text += u"[" + section.name + u"]\r\n";
        for (const Key& key : section.keys)
            text += key.name + (key.bHasValue ? u"=" + key.value : Text()) + u"\r\n";
    }
    const std::string bytes = Encode(text);
    bool bWritten = false;
    {
        CFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        bWritten = file.IsValid()
                   && (bytes.empty()
                       || (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
                           && written == bytes.size()));
    }
    // The profile functions may still hold the file's former text: this documented call drops it.
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    return bWritten;
}

} // namespace settings
