#include "settings/ProfileFile.h"

#include "framework/Gbk.h"
#include "framework/Handle.h"
#include "framework/SameName.h"

#include <windows.h>
#include <cstring>

namespace settings {

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LEMark[] = "\xFF\xFE";
const char kUtf16BEMark[] = "\xFE\xFF";

// The blanks the profile functions trim: the ASCII white space and ^Z.
bool IsBlank(wchar_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

// Narrows [first, last) of the text to what lies between its blanks.
void TrimRange(const WideText& text, size_t& first, size_t& last)
{
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
}

WideText Trimmed(const WideText& text, size_t first, size_t last)
{
    TrimRange(text, first, last);
    return text.substr(first, last - first);
}

WideText TrimLeft(const WideText& text)
{
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    return text.substr(start);
}

WideText Trim(const WideText& text)
{
    return Trimmed(text, 0, text.size());
}

bool StartsWith(const std::string& bytes, const char* mark)
{
    return bytes.compare(0, strlen(mark), mark) == 0;
}

// The UTF-16 code unit at a byte offset.
wchar_t Utf16At(const std::string& bytes, size_t at, bool bBigEndian)
{
    const unsigned char first = bytes[at], second = bytes[at + 1];
    return static_cast<wchar_t>(bBigEndian ? (first << 8) | second : (second << 8) | first);
}

WideText FromUtf16(const std::string& bytes, bool bBigEndian)
{
    WideText text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = Utf16At(bytes, 2 * i, bBigEndian);
    return text;
}

std::string ToUtf16(const WideText& text, bool bBigEndian)
{
    std::string bytes;
    for (wchar_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bBigEndian ? high : low;
        bytes += bBigEndian ? low : high;
    }
    return bytes;
}

// A value as the profile functions hand it out: one pair of enclosing quotes, " or ', removed.
WideText Unquoted(const WideText& value)
{
    if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

const size_t kNone = static_cast<size_t>(-1);

} // namespace

bool CProfileFile::Load(const std::string& path, const char* onlySection)
{
    m_encoding = kAnsi;
    m_mark.clear();
    m_original.clear();
    m_lines.clear();
    m_lineEnd.clear();
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        m_lineEnd = Encode(L"\r\n");
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    std::string& bytes = m_original;
    bytes.assign(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)
                           || read != bytes.size()))
        return false;
    if (StartsWith(bytes, kUtf8Mark)) {
        m_encoding = kUtf8;
        m_mark = kUtf8Mark;
    } else if (StartsWith(bytes, kUtf16LEMark) || StartsWith(bytes, kUtf16BEMark)) {
        m_encoding = StartsWith(bytes, kUtf16LEMark) ? kUtf16LE : kUtf16BE;
        m_mark = bytes.substr(0, 2);
    }
    // Line ends are CR LF, LF or CR, in code units of the file's encoding; a GBK trail byte is never one.
    const size_t width = IsUtf16() ? 2 : 1;
    auto unit = [&](size_t at) {
        return width == 2 ? Utf16At(bytes, at, m_encoding == kUtf16BE) : static_cast<wchar_t>(bytes[at]);
    };
    // A heading's first character after the blanks is "[". Blanks and "[" are one code unit in every
    // encoding read here, and no unit of another character reads as one of them.
    auto MayBeHeading = [&](size_t first, size_t end) {
        while (first + width <= end && IsBlank(unit(first)))
            first += width;
        return first + width <= end && unit(first) == L'[';
    };
    const WideText only = onlySection != nullptr ? Trim(ToWide(onlySection)) : WideText();
    bool bInOnly = false;
    for (size_t pos = m_mark.size(); pos < bytes.size();) {
        size_t end = pos;
        while (end + width <= bytes.size() && unit(end) != L'\r' && unit(end) != L'\n')
            end += width;
        size_t next = bytes.size();
        if (end + width <= bytes.size()) {
            next = end + width;
            if (unit(end) == L'\r' && next + width <= bytes.size() && unit(next) == L'\n')
                next += width;
        } else {
            end = bytes.size();
        }
        if (onlySection == nullptr || bInOnly || MayBeHeading(pos, end)) {
            m_lines.push_back(MakeLine(bytes.substr(pos, end - pos), bytes.substr(end, next - end)));
            if (onlySection != nullptr && m_lines.back().kind == kHeading)
                bInOnly = IsSameName(m_lines.back().name, only);
        } else if (!m_lines.empty() && m_lines.back().kind == kUnread) {
            Line& run = m_lines.back();
            run.bytes += run.end;
            run.bytes.append(bytes, pos, end - pos);
            run.end = bytes.substr(end, next - end);
        } else {
            m_lines.push_back(
                Line{ bytes.substr(pos, end - pos), bytes.substr(end, next - end), kUnread, WideText(), WideText() });
        }
        if (m_lineEnd.empty())
            m_lineEnd = bytes.substr(end, next - end);
        pos = next;
    }
    if (m_lineEnd.empty())
        m_lineEnd = Encode(L"\r\n");
    return true;
}

// The parts are cut from the decoded line by position, each copied once: a file of many thousand
// lines is read at the start of every export.
CProfileFile::Line CProfileFile::MakeLine(std::string bytes, std::string end) const
{
    Line line{ std::move(bytes), std::move(end), kBlank, WideText(), WideText() };
    const WideText text = Decode(line.bytes);
    size_t first = 0, last = text.size();
    TrimRange(text, first, last);
    // Blanks hold neither "]" nor "=": what is found lies between first and last.
    const size_t close = text.rfind(L']');
    const size_t equals = text.find(L'=');
    if (first == last) {
        line.kind = kBlank;
    } else if (text[first] == L';') {
        line.kind = kComment;
    } else if (text[first] == L'[' && close != WideText::npos) {
        line.kind = kHeading;
        line.name = Trimmed(text, first + 1, close);
    } else if (equals == WideText::npos) {
        line.kind = kBareKey;
        line.name = text.substr(first, last - first);
    } else {
        line.kind = kKey;
        line.name = Trimmed(text, first, equals);
        line.value = Trimmed(text, equals + 1, last);
    }
    return line;
}

CProfileFile::Line CProfileFile::NewLine(const WideText& text) const
{
    return MakeLine(Encode(text), m_lineEnd);
}

size_t CProfileFile::FindSection(const WideText& name, size_t from) const
{
    while (from < m_lines.size() && (m_lines[from].kind != kHeading || !IsSameName(m_lines[from].name, name)))
        ++from;
    return from;
}

void CProfileFile::KeyLines(size_t heading, size_t& first, size_t& last) const
{
    size_t end = heading + 1;
    while (end < m_lines.size() && m_lines[end].kind != kHeading)
        ++end;
    first = last = kNone;
    for (size_t n = heading + 1; n < end; ++n) {
        if (m_lines[n].kind == kKey || m_lines[n].kind == kBareKey) {
            if (first == kNone)
                first = n;
            last = n + 1;
        }
    }
    if (first == kNone) {
        while (end > heading + 1 && m_lines[end - 1].kind == kBlank)
            --end;
        first = last = end;
    }
}

void CProfileFile::Insert(size_t at, const std::vector<Line>& lines)
{
    m_lines.insert(m_lines.begin() + at, lines.begin(), lines.end());
}

void CProfileFile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    const WideText sectionName = Trim(ToWide(section));
    const WideText keyName = Trim(ToWide(key));
    const WideText text = TrimLeft(ToWide(value));
    const size_t heading = FindSection(sectionName, 0);
    if (heading == m_lines.size()) {
        Insert(heading, { NewLine(L"[" + sectionName + L"]"), NewLine(keyName + L"=" + text) });
        return;
    }
    size_t first = 0, last = 0;
    KeyLines(heading, first, last);
    for (size_t n = first; n < last; ++n) {
        Line& line = m_lines[n];
        if ((line.kind == kKey || line.kind == kBareKey) && IsSameName(line.name, keyName)) {
            if (line.kind == kBareKey || line.value != text) {
                const std::string end = line.end;
                line = NewLine(line.name + L"=" + text);
                line.end = end;
            }
            return;
        }
    }
    Insert(last, { NewLine(keyName + L"=" + text) });
}

void CProfileFile::ReplaceSection(const std::string& section, const IniKeys& keys)
{
    const WideText sectionName = Trim(ToWide(section));
    std::vector<Line> added;
    for (const auto& key : keys)
        added.push_back(NewLine(Trim(ToWide(key.first)) + L"=" + TrimLeft(ToWide(key.second))));
    size_t at = kNone;
    for (size_t heading = FindSection(sectionName, 0); heading < m_lines.size();
         heading = FindSection(sectionName, heading + 1)) {
        size_t first = 0, last = 0;
        KeyLines(heading, first, last);
        m_lines.erase(m_lines.begin() + first, m_lines.begin() + last);
        if (at == kNone)
            at = first;
    }
    if (at == kNone) {
        if (added.empty())
            return;
        Insert(m_lines.size(), { NewLine(L"[" + sectionName + L"]") });
        at = m_lines.size();
    }
    Insert(at, added);
}

std::string CProfileFile::Bytes() const
{
    std::string bytes = m_mark;
    for (size_t n = 0; n < m_lines.size(); ++n) {
        bytes += m_lines[n].bytes;
        bytes += m_lines[n].end.empty() && n + 1 < m_lines.size() ? m_lineEnd : m_lines[n].end;
    }
    return bytes;
}

bool CProfileFile::IsUtf16() const
{
    return m_encoding == kUtf16LE || m_encoding == kUtf16BE;
}

WideText CProfileFile::Decode(const std::string& bytes) const
{
    if (IsUtf16())
        return FromUtf16(bytes, m_encoding == kUtf16BE);
    return ToWide(bytes, m_encoding == kUtf8 ? CP_UTF8 : CP_ACP);
}

std::string CProfileFile::Encode(const WideText& text) const
{
    if (IsUtf16())
        return ToUtf16(text, m_encoding == kUtf16BE);
    return FromWide(text, m_encoding == kUtf8 ? CP_UTF8 : CP_ACP);
}

bool CProfileFile::Save(const std::string& path) const
{
    const std::string bytes = Bytes();
    if (bytes == m_original)
        return true;
    // The new text goes to a file of this process and thread beside the old one and replaces it only when
    // it is whole and on disk: a full disk or a power cut leaves the operator's file as it was.
    // A read-only file stays as it is, as it does under the profile functions (Windows renames over none).
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return false;
    char suffix[32];
    ::wsprintfA(suffix, ".~%lu-%lu.tmp", ::GetCurrentProcessId(), ::GetCurrentThreadId());
    const std::string temp = path + suffix;
    bool bWritten = false;
    {
        const DWORD kept = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        CFileHandle file(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        bWritten = file.IsValid()
                   && (bytes.empty()
                       || (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
                           && written == bytes.size()))
                   && ::FlushFileBuffers(file);
    }
    bWritten = bWritten && ::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!bWritten)
        ::DeleteFileA(temp.c_str());
    // The profile functions may still hold the file's former text: this documented call drops it.
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    return bWritten;
}

IniKeys CProfileFile::ReadSection(const std::string& section) const
{
    IniKeys keys;
    const size_t heading = FindSection(Trim(ToWide(section)), 0);
    for (size_t n = heading + 1; n < m_lines.size() && m_lines[n].kind != kHeading; ++n) {
        const Line& line = m_lines[n];
        if (line.kind == kKey || line.kind == kBareKey)
            keys.emplace_back(FromWide(NameKey(line.name)), FromWide(Unquoted(line.value)));
    }
    return keys;
}

CIniSection::CIniSection(const std::string& path, const char* section)
{
    CProfileFile file;
    if (file.Load(path, section)) {
        for (auto& key : file.ReadSection(section))
            m_keys.emplace(std::move(key.first), std::move(key.second));
    }
}

const std::string* CIniSection::Find(const std::string& key) const
{
    auto at = m_keys.find(FromWide(NameKey(ToWide(key))));
    return at != m_keys.end() ? &at->second : nullptr;
}

std::string CIniSection::GetString(const std::string& key, size_t bufferSize) const
{
    const std::string* found = Find(key);
    if (found == nullptr)
        return std::string();
    std::string value(found->c_str(), strnlen(found->c_str(), found->size()));
    if (value.size() + 1 > bufferSize) {
        value.resize(bufferSize - 1);
        gbk::DropPartialTail(value);
    }
    return value;
}

int CIniSection::GetInt(const std::string& key, int defaultValue) const
{
    const std::string* found = Find(key);
    if (found == nullptr)
        return defaultValue;
    // An optional sign, then the leading decimal digits; none gives 0.
    const char* p = found->c_str();
    const bool bNegative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    unsigned value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10 + static_cast<unsigned>(*p - '0');
    return static_cast<int>(bNegative ? 0u - value : value);
}

} // namespace settings
