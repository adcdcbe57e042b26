// A profile (INI) file held in memory the way the platform's profile functions hold it, so that many
// keys can be set with one write of the file. The rules are those of those functions: every line is
// trimmed of blanks and blank lines are dropped; "[name]" opens a section; "name=value" is a key, and a
// line without "=" is kept as a key without value; names match without regard to case and the first
// match wins; a new key goes to the end of its section, a new section to the end of the file. When a
// value has changed, the whole file is written in that form ("[name]" and "name=value" lines with CRLF
// ends), in the encoding it was read in: ANSI, or UTF-8 or UTF-16 after their byte-order marks.
// Setting keys one after the other gives the bytes that one WritePrivateProfileStringA per key gives.
#pragma once
#include "settings/Settings.h"

#include <string>
#include <vector>

namespace settings {

class CProfileFile {
public:
    // Reads the file; a missing file is an empty one. False when it exists but cannot be read.
    bool Load(const std::string& path);
    // Sets the key as WritePrivateProfileStringA does, leading blanks of the value dropped.
    void SetString(const std::string& section, const std::string& key, const std::string& value);
    // Empties every section of that name and gives the first one the keys, all of different names, in
    // their order: what emptying it (WritePrivateProfileSectionA with an empty list) and then setting
    // each key gives.
    void ReplaceSection(const std::string& section, const IniKeys& keys);
    // Writes the file when a value has changed; false when that write failed.
    bool Save(const std::string& path) const;

private:
    // UTF-16 text. The code units are those of wchar_t here; unlike std::wstring, whose members all come
    // from the runtime library, this string class brings only the members used into the DLL.
    typedef std::u16string Text;
    enum Encoding { kAnsi, kUtf8, kUtf16LE, kUtf16BE };
    struct Key {
        Text name;
        bool bHasValue;
        Text value;
    };
    struct Section {
        Text name; // empty for the lines before the first section
        std::vector<Key> keys;
    };

    void Parse(const Text& text);
    // The first section of that name (not the lines before the first section), or m_sections.size().
    size_t FindSection(const Text& name) const;
    size_t FindOrAddSection(const Text& name);
    // The value that kept its trailing blanks loses them: the platform read the file again.
    void TrimRawValue();
    std::string Encode(const Text& text) const;

    static constexpr size_t kNone = static_cast<size_t>(-1);

    Encoding m_encoding = kAnsi;
    std::vector<Section> m_sections;
    bool m_bChanged = false;
    // The key changed last, whose value keeps its trailing blanks. Every other value has lost them, as
    // the platform drops them when it reads the file anew before each single-key write.
    size_t m_nRawSection = kNone;
    size_t m_nRawKey = kNone;
};

} // namespace settings
