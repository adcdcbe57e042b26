#include "Text.h"

#include <windows.h>

namespace hostile {

namespace {

const UINT kGbk = 936;

std::string Narrow(UINT codePage, DWORD flags, const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int n = ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Comparable(const std::wstring& path)
{
    std::wstring rest = path;
    if (rest.compare(0, 4, L"\\\\?\\") == 0 || rest.compare(0, 4, L"\\\\.\\") == 0)
        rest = rest.substr(4);
    std::wstring comparable;
    for (wchar_t c : rest) {
        if (c != L'\\' || comparable.empty() || comparable.back() != L'\\')
            comparable += c;
    }
    return Upper(comparable);
}

} // namespace

std::wstring FromGbk(const std::string& gbk)
{
    if (gbk.empty())
        return std::wstring();
    const int n = ::MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0)
        ::MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), &out[0], n);
    return out;
}

std::string Gbk(const std::wstring& text)
{
    return Narrow(kGbk, WC_NO_BEST_FIT_CHARS, text);
}

bool ToGbk(const std::wstring& text, std::string* gbk)
{
    // A character without a GBK form comes back as '?'.
    *gbk = Gbk(text);
    return FromGbk(*gbk) == text;
}

std::vector<std::string> NarrowSpellings(const std::wstring& name)
{
    std::string exact;
    if (ToGbk(name, &exact))
        return { exact };
    std::vector<std::string> spellings;
    for (DWORD flags : { DWORD(0), DWORD(WC_NO_BEST_FIT_CHARS) })
        spellings.push_back(Narrow(kGbk, flags, name));
    return spellings;
}

std::string Utf8(const std::wstring& text)
{
    return Narrow(CP_UTF8, 0, text);
}

std::string Utf8FromGbk(const std::string& gbk)
{
    return Utf8(FromGbk(gbk));
}

std::wstring Upper(std::wstring text)
{
    if (!text.empty())
        ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return Upper(a) == Upper(b);
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return Comparable(a) == Comparable(b);
}

bool IsSameOrBelow(const std::wstring& a, const std::wstring& b)
{
    if (b.empty())
        return true;
    const std::wstring upperA = Upper(a), upperB = Upper(b);
    return upperA.compare(0, upperB.size(), upperB) == 0 && (upperA.size() == upperB.size() || upperA[upperB.size()] == L'\\');
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty() || name.empty())
        return folder + name;
    return folder + L"\\" + name;
}

std::wstring ParentOf(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring NameOf(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::string GbkNameOf(const std::string& path)
{
    // Split as text: a GBK trail byte may equal a backslash.
    return Gbk(NameOf(FromGbk(path)));
}

} // namespace hostile
