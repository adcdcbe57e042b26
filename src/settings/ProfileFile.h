// A profile (INI) file held in memory line by line, so that many keys can be set with one write of the
// file and every line that is not set keeps its bytes: other sections, comments, blank lines,
// indentation and line ends stay as the operator saved them, as with Windows' own profile functions.
// Lines are read as those functions read them: trimmed of blanks, "[name]" opens a section, a line
// with "=" is a key with its value, names match without regard to case and the first match wins; a
// line starting with ";" is a comment. A key that is set is written as "name=value"; a new key goes
// after the last key of its section, a new section to the end of the file; new lines end as the
// file's first line does (CR LF when it has none). The file keeps its encoding: ANSI, or UTF-8 or
// UTF-16 after their byte-order marks.
#pragma once
#include "framework/WideText.h"
#include "settings/Settings.h"

#include <map>
#include <string>
#include <vector>

namespace settings {

class CProfileFile {
public:
    // Reads the file; a missing file is an empty one. False when it exists but cannot be read. With a
    // section, only the headings and the lines of the sections of that name are taken apart, the other
    // lines are kept as they are: ReplaceSection and ReadSection of that section alone may follow.
    bool Load(const std::string& path, const char* onlySection = nullptr);
    // Sets the key as WritePrivateProfileStringA does, leading blanks of the value dropped. A key whose
    // value is already that keeps its line.
    void SetString(const std::string& section, const std::string& key, const std::string& value);
    // Replaces the keys of every section of that name and gives the first one the keys, all of different
    // names, in their order. The keys' lines, from a section's first key to its last, give way to the new
    // ones; the section's heading, and the comments and blank lines before its first key and after its
    // last, stay where they are.
    void ReplaceSection(const std::string& section, const IniKeys& keys);
    // Writes the file when its bytes have changed; false when that write failed.
    bool Save(const std::string& path) const;
    // The keys of the first section of that name, in file order, as the profile functions read them:
    // names in upper case, values in the ANSI code page with one pair of enclosing quotes removed.
    IniKeys ReadSection(const std::string& section) const;

private:
    enum Encoding { kAnsi, kUtf8, kUtf16LE, kUtf16BE };
    // A key line has "=", a bare key has none: the profile functions read it as a key without value.
    // The lines of other sections than the one loaded for are kUnread, a run of them one element with
    // their inner line ends in its bytes: neither a heading nor a key.
    enum Kind { kBlank, kComment, kHeading, kKey, kBareKey, kUnread };
    struct Line {
        std::string bytes; // as read, without the line end; encoded anew for a line written here
        std::string end;   // the line end as read: CR LF, LF or CR; none on a last line without one
        Kind kind;
        WideText name;  // a heading's section name or a key's name
        WideText value; // a key's value as the profile functions read it
    };

    Line MakeLine(std::string bytes, std::string end) const;
    // A line written here: "[section]" or "name=value".
    Line NewLine(const WideText& text) const;
    // The heading of the first section of that name at or after the line, or m_lines.size().
    size_t FindSection(const WideText& name, size_t from) const;
    // The section's keys run from first to last (exclusive); a section without keys gives the place
    // after its last line that is not blank, where keys would go, as first and last.
    void KeyLines(size_t heading, size_t& first, size_t& last) const;
    void Insert(size_t at, const std::vector<Line>& lines);
    std::string Bytes() const;
    bool IsUtf16() const;
    WideText Decode(const std::string& bytes) const;
    std::string Encode(const WideText& text) const;

    Encoding m_encoding = kAnsi;
    std::string m_mark;     // the byte-order mark as read
    std::string m_lineEnd;  // the end of new lines
    std::string m_original; // the file as read, "" when missing
    std::vector<Line> m_lines;
};

// One section of a profile file read once, for many look-ups that give what the profile functions give.
class CIniSection {
public:
    // A missing or unreadable file, or one without the section, gives no keys.
    CIniSection(const std::string& path, const char* section);
    // As ReadIniString with a null default.
    std::string GetString(const std::string& key, size_t bufferSize) const;
    // As ReadIniInt.
    int GetInt(const std::string& key, int defaultValue) const;

private:
    const std::string* Find(const std::string& key) const;

    std::map<std::string, std::string> m_keys; // by name in upper case; of keys of one name the first
};

} // namespace settings
