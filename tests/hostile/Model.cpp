#include "Model.h"

#include "Text.h"
#include <cstdio>
#include <cwchar>
#include <cwctype>

namespace hostile {

namespace {

const size_t kClientCodeLimit = 24;   // bytes, terminator included
const size_t kPlatformCodeLimit = 16; // bytes, terminator included
const size_t kUserOrgIDLimit = 16;    // bytes
const wchar_t kTempPrefix[] = L".~qrvlnk-";
const wchar_t kTempSuffix[] = L".part";
const wchar_t kClaimFolderPrefix[] = L".~qrvlnk-claims-";
const wchar_t kClaimCopyPrefix[] = L".~qrvlnk-claim-";

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

// What path adds to folder, which holds it.
std::wstring PathBelow(const std::wstring& path, const std::wstring& folder)
{
    return folder.empty() ? path : path.substr(folder.size() + (path.size() > folder.size() ? 1 : 0));
}

// The stronger of two: a refusal, then a choice, then a start.
void Combine(Refusal& into, const Refusal& other)
{
    const bool hidden = into.hiddenByDrive || other.hiddenByDrive;
    if (other.verdict == Verdict::kRefused && into.verdict != Verdict::kRefused)
        into = other;
    else if (other.verdict == Verdict::kEither && into.verdict == Verdict::kGoes)
        into = other;
    into.hiddenByDrive = into.verdict == Verdict::kEither && hidden;
}

Refusal Refused(const std::string& why)
{
    return { Verdict::kRefused, why };
}

} // namespace

std::string MappingKey(const char* kind, int n)
{
    char key[32];
    std::snprintf(key, sizeof(key), "%s%04d", kind, n);
    return key;
}

bool Matches(const Place& place, const std::wstring& path)
{
    const std::wstring parent = ParentOf(path);
    if (place.claimed ? !SameName(ParentOf(parent), place.folder) || !StartsWith(NameOf(parent), kClaimFolderPrefix)
                      : !SameName(parent, place.folder))
        return false;
    const std::wstring name = NameOf(path);
    if (SameName(name, place.name))
        return true;
    if (!place.numbered || name.size() < place.name.size() + 2 || !SameName(name.substr(0, place.name.size()), place.name)
        || name[place.name.size()] != L'.' || name[place.name.size() + 1] == L'0')
        return false;
    for (size_t i = place.name.size() + 1; i < name.size(); ++i) {
        if (!std::iswdigit(name[i]))
            return false;
    }
    return true;
}

CModel::CModel(const Workspace& ws) : m_ws(ws)
{
    for (int i = 0;; ++i) {
        Pair pair;
        pair.client = Value(MappingKey("ClientID", i));
        if (pair.client.empty())
            break;
        pair.platform = Value(MappingKey("QRVID", i));
        if (!pair.platform.empty() && pair.client.size() < kClientCodeLimit && pair.platform.size() < kPlatformCodeLimit
            && IsFolderName(pair.platform))
            m_pairs.push_back(pair);
    }
}

std::string CModel::Value(const std::string& key) const
{
    for (const IniLine& line : m_ws.mapping) {
        if (::lstrcmpiA(line.key.c_str(), key.c_str()) == 0)
            return line.value;
    }
    return std::string();
}

std::string CModel::Spell(const FolderSetting& setting) const
{
    if (setting.unset)
        return std::string();
    const std::string root = Gbk(m_ws.root), real = Gbk(setting.real);
    const std::string plain = real.empty() ? root : root + "\\" + real;
    switch (setting.spelling) {
    case Spelling::kPlain:
        return plain;
    case Spelling::kTrailingSeparator:
        return plain + "\\";
    case Spelling::kOtherCase:
        return Gbk(Upper(FromGbk(plain)));
    case Spelling::kLongPrefix:
        return "\\\\?\\" + plain;
    case Spelling::kDevicePrefix:
        return "\\\\.\\" + plain;
    case Spelling::kDriveLetter:
        return std::string(1, static_cast<char>(m_ws.driveLetter)) + ":\\" + Gbk(PathBelow(setting.real, m_ws.driveTarget));
    case Spelling::kJunction:
        for (const Alias& link : m_ws.links) {
            if (IsSameOrBelow(setting.real, link.target))
                return Gbk(JoinPath(JoinPath(m_ws.root, link.path), PathBelow(setting.real, link.target)));
        }
        return plain;
    case Spelling::kDotted:
        // ".." is resolved by name: the folder before it need not exist.
        return root + "\\elsewhere\\..\\" + real;
    }
    return plain;
}

std::wstring CModel::SpelledPath(const FolderSetting& setting, const std::wstring& real) const
{
    return JoinPath(FromGbk(Spell(setting)), PathBelow(real, setting.real));
}

bool CModel::IsUserOrgIDUsable() const
{
    return m_ws.userOrgID.size() <= kUserOrgIDLimit && (m_ws.userOrgID.empty() || IsFolderName(m_ws.userOrgID));
}

std::wstring CModel::Delivery() const
{
    return JoinPath(m_ws.data.real, FromGbk(m_ws.userOrgID));
}

std::wstring CModel::Backup() const
{
    return JoinPath(Delivery(), L"Backup");
}

bool CModel::IsDeliveryPair(const std::wstring& folder) const
{
    if (!IsUserOrgIDUsable())
        return false;
    const std::wstring delivery = m_ws.userOrgID.empty() ? m_ws.data.real : Delivery();
    return SameName(folder, delivery) || SameName(folder, JoinPath(delivery, L"Backup"));
}

std::string CModel::Lookup(const std::string& clientCode) const
{
    for (const Pair& pair : m_pairs) {
        if (pair.client == clientCode)
            return pair.platform;
    }
    return std::string();
}

std::vector<std::string> CModel::PlatformCodes() const
{
    std::vector<std::string> codes;
    for (const Pair& pair : m_pairs)
        codes.push_back(pair.platform);
    return codes;
}

Refusal CModel::Inside(const char* inner, const FolderSetting& spelled, const std::wstring& innerPath, const char* outer,
                       const std::wstring& outerPath, const CCensus& before, const std::wstring* seenFirst) const
{
    if (!IsSameOrBelow(innerPath, outerPath))
        return Refusal();
    const std::string why = std::string(inner) + " (" + Utf8(innerPath) + ") is or lies in " + outer + " (" + Utf8(outerPath) + ")";
    if (!before.IsFolder(outerPath))
        return { Verdict::kEither, why };
    // A link whose folder is not made yet is missing under Wine (and cannot be opened as that folder on
    // Windows either): nothing can tell where it will lead.
    if (spelled.spelling == Spelling::kJunction && !before.IsFolder(innerPath))
        return { Verdict::kEither, why + ", through a link to a folder not made yet" };
    if (!SeesHolder(spelled, innerPath, outerPath) || (seenFirst != nullptr && !SeesHolder(spelled, innerPath, *seenFirst)))
        return { Verdict::kEither, why + ", which a drive letter hides under Wine", true };
    return { Verdict::kRefused, why };
}

bool CModel::SeesHolder(const FolderSetting& spelled, const std::wstring& inner, const std::wstring& outer) const
{
    const std::wstring& drive = m_ws.driveTarget;
    if (!m_ws.hasDrive || !IsSameOrBelow(inner, drive) || SameName(drive, outer) || !IsSameOrBelow(drive, outer))
        return true;
    if (spelled.spelling == Spelling::kDriveLetter)
        return false;
    if (spelled.spelling != Spelling::kJunction)
        return true;
    for (const Alias& link : m_ws.links) {
        if (IsSameOrBelow(spelled.real, link.target))
            return IsSameOrBelow(outer, link.target);
    }
    return true;
}

Refusal CModel::ExportRefusal(const CCensus& before) const
{
    if (m_ws.send.unset || m_ws.data.unset)
        return Refused("SourcePath or ExportLocation is unset");
    Refusal refusal;
    for (const std::string& code : PlatformCodes())
        Combine(refusal, Inside("the send directory", m_ws.send, m_ws.send.real, "a platform folder",
                                JoinPath(m_ws.data.real, FromGbk(code)), before, &m_ws.data.real));
    if (!m_ws.userOrgID.empty() && IsUserOrgIDUsable())
        Combine(refusal, Inside("the send directory", m_ws.send, m_ws.send.real, "the delivery folder", Delivery(), before));
    Combine(refusal, SendReceiveOverlap(before));
    return refusal;
}

Refusal CModel::SendReceiveOverlap(const CCensus& before) const
{
    if (m_ws.send.unset || m_ws.recv.unset)
        return Refusal();
    Refusal refusal = Inside("the receive directory", m_ws.recv, m_ws.recv.real, "the send directory", m_ws.send.real, before);
    Combine(refusal, Inside("the send directory", m_ws.send, m_ws.send.real, "the receive directory", m_ws.recv.real, before));
    return refusal;
}

Refusal CModel::ImportRefusal(const CCensus& before) const
{
    if (!IsUserOrgIDUsable())
        return Refused("UserOrgID is too long or not a folder name");
    if (m_ws.userOrgID.empty())
        return Refused("UserOrgID is empty");
    if (m_ws.recv.unset || m_ws.data.unset)
        return Refused("DestPath or ExportLocation is unset");
    Refusal refusal = Inside("the receive directory", m_ws.recv, m_ws.recv.real, "the delivery folder", Delivery(), before);
    for (const std::string& code : PlatformCodes())
        Combine(refusal, Inside("the receive directory", m_ws.recv, m_ws.recv.real, "a platform folder",
                                JoinPath(m_ws.data.real, FromGbk(code)), before, &m_ws.data.real));
    // The host's working directory holds its INI files and the record.
    if (SameName(Delivery(), m_ws.work))
        Combine(refusal, { before.IsFolder(Delivery()) ? Verdict::kRefused : Verdict::kEither,
                           "the delivery folder (" + Utf8(Delivery()) + ") is the host's working directory" });
    Combine(refusal, SendReceiveOverlap(before));
    if (!m_ws.send.unset) {
        Combine(refusal, Inside("the delivery folder", m_ws.data, Delivery(), "the send directory", m_ws.send.real, before));
        Combine(refusal, Inside("the send directory", m_ws.send, m_ws.send.real, "the delivery folder", Delivery(), before));
    }
    return refusal;
}

Refusal CModel::RefusalOf(Run run, const CCensus& before) const
{
    return run == Run::kExport ? ExportRefusal(before) : ImportRefusal(before);
}

bool CModel::IsHostFile(const std::wstring& path) const
{
    if (!SameName(ParentOf(path), m_ws.work))
        return false;
    const std::wstring name = NameOf(path);
    for (const char* host : { "OrgMap.ini", "TaskDefine.ini", "08888978.log" }) {
        if (SameName(name, FromGbk(host)))
            return true;
    }
    const std::wstring record = FromGbk("传送记录");
    // The record, its older files, the lines waiting beside it, and the lock of its rotation.
    return name.size() >= record.size() + 4 && name.compare(0, record.size(), record) == 0
           && (SameName(name.substr(name.size() - 4), L".csv") || SameName(name.substr(record.size()), L".lock"));
}

std::wstring CModel::Walked(Run run) const
{
    return run == Run::kExport ? m_ws.send.real : Delivery();
}

bool CModel::Affects(Run run, const std::wstring& path) const
{
    if (IsHostFile(path))
        return false;
    if (run == Run::kImport)
        return IsSameOrBelow(path, Delivery()) || IsSameOrBelow(path, m_ws.recv.real);
    return IsSameOrBelow(path, m_ws.send.real) || IsSameOrBelow(path, m_ws.data.real);
}

std::vector<Place> CModel::Routes(Run run, const std::wstring& path) const
{
    std::vector<Place> places;
    std::string name;
    const bool claim = run == Run::kImport && IsClaim(path);
    if ((!SameName(ParentOf(path), Walked(run)) && !claim) || !IsTransferable(NameOf(path), &name))
        return places;
    if (run == Run::kExport) {
        std::string code;
        const std::string platform = ClientCodeOf(name, &code) ? Lookup(code) : std::string();
        const std::wstring folder = platform.empty() ? std::wstring() : JoinPath(m_ws.data.real, FromGbk(platform));
        if (!platform.empty() && !IsDeliveryPair(folder))
            places.push_back({ folder, NameOf(path), false });
    } else if (!SameName(NameOf(path), L"Backup")) {
        places.push_back({ m_ws.recv.real, NameOf(path), false });
        places.push_back({ Backup(), NameOf(path), true });
        places.push_back({ Backup(), NameOf(path), false, true });
        // A claim whose copy is gone goes back to the delivery folder.
        if (claim)
            places.push_back({ Delivery(), NameOf(path), false });
    }
    return places;
}

bool CModel::ClientCodeOf(const std::string& name, std::string* code)
{
    // Split as text, not as bytes: a GBK trail byte may equal '_'.
    const std::wstring wide = FromGbk(name);
    const size_t first = wide.find(L'_');
    if (first == std::wstring::npos || first == 0)
        return false;
    const size_t second = wide.find(L'_', first + 1);
    if (second == std::wstring::npos || second == first + 1)
        return false;
    *code = Gbk(wide.substr(first + 1, second - first - 1));
    return true;
}

bool CModel::IsFolderName(const std::string& code)
{
    const std::wstring name = FromGbk(code);
    if (name.empty() || name.find_first_not_of(L". ") == std::wstring::npos || name.find_first_of(L"\\/:") != std::wstring::npos)
        return false;
    // CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name a device in every folder, with any extension or blanks after.
    std::wstring stem = Upper(name.substr(0, name.find(L'.')));
    stem.erase(stem.find_last_not_of(L' ') + 1);
    for (const wchar_t* device : { L"CON", L"PRN", L"AUX", L"NUL" }) {
        if (stem == device)
            return false;
    }
    return !(stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) && stem[3] >= L'1'
             && stem[3] <= L'9');
}

bool CModel::IsTransferable(const std::wstring& name, std::string* gbk)
{
    return ToGbk(name, gbk) && !name.empty() && name.back() != L'.' && name.back() != L' ' && !IsTemporaryName(name);
}

bool CModel::IsClaimMark(const std::wstring& path) const
{
    return SameName(ParentOf(path), Backup()) && StartsWith(NameOf(path), kClaimFolderPrefix);
}

bool CModel::IsClaim(const std::wstring& path) const
{
    return IsClaimMark(ParentOf(path));
}

bool CModel::IsTemporaryName(const std::wstring& name)
{
    const size_t prefix = sizeof(kTempPrefix) / sizeof(wchar_t) - 1;
    const size_t suffix = sizeof(kTempSuffix) / sizeof(wchar_t) - 1;
    return name.size() >= prefix + suffix && name.compare(0, prefix, kTempPrefix) == 0
           && name.compare(name.size() - suffix, suffix, kTempSuffix) == 0;
}

bool CModel::IsClaimCopyName(const std::wstring& name)
{
    return IsTemporaryName(name) && StartsWith(name, kClaimCopyPrefix);
}

} // namespace hostile
