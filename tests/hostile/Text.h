// Text as the generator handles it: names and paths in UTF-16 (what the file system holds), settings and
// the plug-in's narrow interface in GBK, and what the program prints in UTF-8.
#pragma once
#include <string>
#include <vector>

namespace hostile {

std::wstring FromGbk(const std::string& gbk);
// The GBK form of text, '?' for a character that has none.
std::string Gbk(const std::wstring& text);
// The GBK form of text when every character has one; false (and the form of Gbk) otherwise.
bool ToGbk(const std::wstring& text, std::string* gbk);
// The ways a name can stand in GBK text: itself, or for a name outside GBK what the narrow functions make
// of it (a look-alike, or '?').
std::vector<std::string> NarrowSpellings(const std::wstring& name);
std::string Utf8(const std::wstring& text);
std::string Utf8FromGbk(const std::string& gbk);
// Capitals, as the file system compares names.
std::wstring Upper(std::wstring text);
bool SameName(const std::wstring& a, const std::wstring& b);
// True when two absolute paths name the same place as the file system reads them: without the prefix
// \\?\ or \\.\ of either, repeated separators read as one, letter case ignored ("." and ".." are kept).
bool SamePath(const std::wstring& a, const std::wstring& b);
// a is b or lies below it; both relative paths with '\' separators, "" for the root.
bool IsSameOrBelow(const std::wstring& a, const std::wstring& b);
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
std::wstring ParentOf(const std::wstring& path);
std::wstring NameOf(const std::wstring& path);
// The last part of a GBK path, split at the last separator that is not a trail byte.
std::string GbkNameOf(const std::string& path);

} // namespace hostile
