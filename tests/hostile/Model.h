// The rules a run is held to, read from the workspace as it was generated, not from the plug-in: where
// each folder really is, what the mapping says, which files a run may hand over and where to, and which
// runs must be refused. Where the rules leave a choice (a folder that does not exist cannot be compared
// by what it is), the model allows either.
#pragma once
#include "Census.h"
#include "Workspace.h"

#include <string>
#include <vector>

namespace hostile {

// A place a run may put a file's bytes: folder\name, or with numbered also folder\name.N.
struct Place {
    std::wstring folder;
    std::wstring name;
    bool numbered = false;
    bool claimed = false; // folder\<a claim folder>\name: a delivery an import claimed and has not archived yet
};

// The key of a code of the mapping's pair n in OrgMap.ini: kind ("ClientID" or "QRVID") and n in four digits.
std::string MappingKey(const char* kind, int n);

// True when path is folder\name of place, or folder\name.N (N from 1, no leading zero) for a numbered one.
bool Matches(const Place& place, const std::wstring& path);

enum class Verdict { kGoes, kRefused, kEither };

// Whether a run must start, must be refused or may do either, and the rule that decides it.
struct Refusal {
    Verdict verdict = Verdict::kGoes;
    std::string why;
    // Either, because Wine may not see a folder above a drive letter's folder; whether it does depends
    // on when it last read its drive letters, so the plan and the run may decide differently.
    bool hiddenByDrive = false;
};

class CModel {
public:
    explicit CModel(const Workspace& ws);

    // The settings as the registry holds them (GBK); "" when unset.
    std::string SourcePath() const { return Spell(m_ws.send); }
    std::string ExportLocation() const { return Spell(m_ws.data); }
    std::string DestPath() const { return Spell(m_ws.recv); }
    std::string Spell(const FolderSetting& setting) const;
    // The path a run names the folder or file at real (below the setting's folder) by: the setting as
    // spelled, then what real adds to its folder.
    std::wstring SpelledPath(const FolderSetting& setting, const std::wstring& real) const;

    // The user organisation code makes a delivery folder: at most 16 bytes, a name directly below the
    // data-file location, or empty (the data-file location itself).
    bool IsUserOrgIDUsable() const;
    std::wstring Delivery() const;
    std::wstring Backup() const;
    // The platform code that a file's client code maps to, "" when none: the first pair of the mapping
    // (read in key order up to the first missing client code, a repeated key read where it first stands)
    // whose codes fit and whose platform code names a folder below the data-file location.
    std::string Lookup(const std::string& clientCode) const;
    std::vector<std::string> PlatformCodes() const;

    // Whether a run of that kind must start, must be refused, or may do either, with the folders as
    // before shows them.
    Refusal RefusalOf(Run run, const CCensus& before) const;
    // Where a run that was not refused may put the bytes of the file at path (in the folder it walks, or
    // an import's claim) besides leaving them there.
    std::vector<Place> Routes(Run run, const std::wstring& path) const;
    // The folder a run of that kind walks.
    std::wstring Walked(Run run) const;
    // True when what is at path bears on what a run of that kind does: it lies in the folder the run walks
    // or in one it copies or archives to (the host's files left out).
    bool Affects(Run run, const std::wstring& path) const;
    // The client code of a GBK name "prefix_code_rest".
    static bool ClientCodeOf(const std::string& name, std::string* code);
    // True when a code (GBK) names a folder directly below the one it is joined to: not empty, not dots and
    // blanks alone, no separator or drive colon, not a device name.
    static bool IsFolderName(const std::string& code);
    // The host's own files in its working directory, which the plug-in writes by design: the INI files, its
    // log, the transfer record and its older files.
    bool IsHostFile(const std::wstring& path) const;
    // A name a run may hand over at all: exactly GBK, not ending in a dot or blank, not a temporary copy's.
    static bool IsTransferable(const std::wstring& name, std::string* gbk);
    static bool IsTemporaryName(const std::wstring& name);
    // The name of an import's copy of a delivery it claims, written beside the target before the claim.
    static bool IsClaimCopyName(const std::wstring& name);
    // An import's claim folder in Backup (".~qrvlnk-claims-..."), or its lock beside it: the run's own marks.
    bool IsClaimMark(const std::wstring& path) const;
    // A delivery an import claimed and left in its claim folder, for the next import to finish.
    bool IsClaim(const std::wstring& path) const;

private:
    struct Pair {
        std::string client;
        std::string platform;
    };
    // Refused when inner (spelled as its setting spells its folder) is outer or lies in it and outer
    // exists (a folder that exists is known by what it is, whatever the spelling); either when outer does
    // not exist and the names alone decide, or when the platform cannot see outer above inner (nor
    // seenFirst, when given: a platform folder is looked for only below a data-file location seen so).
    Refusal Inside(const char* inner, const FolderSetting& spelled, const std::wstring& innerPath, const char* outer,
                   const std::wstring& outerPath, const CCensus& before, const std::wstring* seenFirst = nullptr) const;
    // False where Wine cannot tell that outer holds inner: it names a folder by the deepest drive letter
    // whose folder holds it (Windows by its volume), so a drive letter that stands for a folder inside
    // outer hides outer, unless the path as spelled passes through it.
    bool SeesHolder(const FolderSetting& spelled, const std::wstring& inner, const std::wstring& outer) const;
    Refusal ExportRefusal(const CCensus& before) const;
    Refusal ImportRefusal(const CCensus& before) const;
    // The pair's platform folder is the delivery folder or its Backup: an export passes its files over.
    bool IsDeliveryPair(const std::wstring& folder) const;
    // The receive directory is, holds or lies in the send directory: both runs refuse.
    Refusal SendReceiveOverlap(const CCensus& before) const;
    std::string Value(const std::string& key) const;

    const Workspace& m_ws;
    std::vector<Pair> m_pairs;
};

} // namespace hostile
