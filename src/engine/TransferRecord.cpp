#include "engine/TransferRecord.h"

#include "engine/TransferEngine.h"
#include "framework/Path.h"
#include "framework/SystemError.h"
#include "settings/Settings.h"

#include <cstring>

namespace {

const char* const kHeader[CTransferRecord::kColumns] = {
    "时间", "运行编号", "运行", "源文件", "目标文件", "大小（字节）", "结果", "说明", "系统错误", "提示框", "计算机\\用户",
};

// The byte that writers lock, far beyond any record's end (locks there are allowed and lock no data).
const DWORD kLockOffsetHigh = 0x40000000;
// Above it, each run holds a shared lock on a byte of its own for as long as it lives.
const DWORD kRunLockOffsetHigh = 0x40000001;
const DWORD kLockPollMs = 1;
const DWORD kLockWaitMs = 1000;

// Takes the lock on one byte at where, waiting waitMs at most for a holder to let it go.
bool LockByte(HANDLE file, OVERLAPPED& where, DWORD flags, DWORD waitMs = kLockWaitMs)
{
    for (DWORD waited = 0; !::LockFileEx(file, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where);
         waited += kLockPollMs) {
        if (waited >= waitMs)
            return false;
        ::Sleep(kLockPollMs);
    }
    return true;
}

// The byte of the run of who with number: a hash of the two (FNV-1a), so that any reader finds it from
// the record's lines.
OVERLAPPED RunLockAt(const std::string& who, const std::string& number)
{
    DWORD hash = 2166136261u;
    for (const char c : who + "|" + number)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    OVERLAPPED where = {};
    where.OffsetHigh = kRunLockOffsetHigh;
    where.Offset = hash;
    return where;
}

std::string Now()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[32];
    ::wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                now.wSecond);
    return text;
}

// Appends one field to a line: kept on one line, and quoted when it holds a separator or a quote. (No
// GBK trail byte is a comma, a quote or a line end, so bytes can be looked at one by one.)
void AppendField(std::string& line, const char* text)
{
    if (!line.empty())
        line += ',';
    const bool quote = std::strpbrk(text, ",\"") != nullptr;
    if (quote)
        line += '"';
    for (const char* p = text; *p; ++p) {
        line += *p == '\r' || *p == '\n' ? ' ' : *p;
        if (*p == '"')
            line += '"';
    }
    if (quote)
        line += '"';
}

std::string Counts(int moved, int left, int failed)
{
    return "传送" + std::to_string(moved) + "个，未传送" + std::to_string(left) + "个，失败" + std::to_string(failed)
           + "个";
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// "COMPUTER\user": run numbers are counted per Windows user on each computer, so this and the number
// tell one run from any other that writes to the same record.
std::string Who()
{
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof(computer);
    if (!::GetComputerNameA(computer, &size))
        computer[0] = '\0';
    char user[257] = "";
    size = sizeof(user);
    if (!::GetUserNameA(user, &size))
        user[0] = '\0';
    return std::string(computer) + "\\" + user;
}

// Moves the record set aside (.0) and the older ones before the first free place each one on; only
// when every place is taken does the oldest go. Stops at the first that cannot move, which leaves a free
// place for the next run: nothing but the oldest is ever lost. True when the one set aside has moved.
bool ShiftOlder(const std::string& path)
{
    int free = 1;
    while (free <= CTransferRecord::kOlderFiles && Exists(CTransferRecord::OlderFile(path, free)))
        ++free;
    if (free > CTransferRecord::kOlderFiles) {
        free = CTransferRecord::kOlderFiles;
        if (!::DeleteFileA(CTransferRecord::OlderFile(path, free).c_str()))
            return false;
    }
    for (int n = free - 1; n >= 0; --n) {
        if (!::MoveFileA(CTransferRecord::OlderFile(path, n).c_str(), CTransferRecord::OlderFile(path, n + 1).c_str()))
            return false;
    }
    return true;
}

// Appends bytes (whole lines) to the end of file with one write under the writers' lock, a line end
// first when the file does not end in one; bytes that cannot be written whole are taken back. False
// when they were not written.
bool AppendLines(HANDLE file, std::string bytes)
{
    // The lock makes "find the end, write there" one step among all writers of the file; lines whose
    // turn does not come are passed over.
    OVERLAPPED lock = {};
    lock.OffsetHigh = kLockOffsetHigh;
    if (!LockByte(file, lock, LOCKFILE_EXCLUSIVE_LOCK))
        return false;
    const LARGE_INTEGER zero = {};
    LARGE_INTEGER end = {};
    bool written = ::SetFilePointerEx(file, zero, &end, FILE_END) != FALSE;
    if (written && end.QuadPart > 0) {
        LARGE_INTEGER last;
        last.QuadPart = end.QuadPart - 1;
        char c = 0;
        DWORD read = 0;
        if (::SetFilePointerEx(file, last, nullptr, FILE_BEGIN) && ::ReadFile(file, &c, 1, &read, nullptr) && read == 1
            && c != '\n')
            bytes.insert(0, "\r\n");
        written = ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) != FALSE;
    }
    DWORD done = 0;
    if (written && (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) || done != bytes.size())) {
        // Part of a line (a full disk) would run into the next one: the file goes back to where it was.
        ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
        ::SetEndOfFile(file);
        written = false;
    }
    ::UnlockFileEx(file, 0, 1, 0, &lock);
    return written;
}

// How long a run waits for another to finish rotating and opening the record.
const DWORD kOpenWaitMs = 5000;

std::string HeaderLine()
{
    std::string line;
    for (const char* field : kHeader)
        AppendField(line, field);
    return line + "\r\n";
}

const char* BoxText(Box box)
{
    return box == Box::kShowing ? "正在显示" : box == Box::kNotShown ? "未能显示（运行窗口已经关闭）" : "";
}

} // namespace

CTransferRecord::CTransferRecord(const std::string& path, RunKind kind, bool bAuto)
    : m_kind(kind), m_runLock(), m_bRunLocked(false), m_nNumber(0),
      m_strRun(RunLabel(kind, bAuto)),
      m_strWho(Who()), m_nMoved(0), m_nLeft(0), m_nFailed(0), m_bRefused(false), m_nBoxesUnshown(0),
      m_nBoxesClosedByThemselves(0)
{
    if (path.empty())
        return;
    m_nNumber = settings::NextRunNumber();
    Open(path);
    if (m_file.IsValid()) {
        m_runLock = RunLockAt(m_strWho, std::to_string(m_nNumber));
        m_bRunLocked = LockByte(m_file, m_runLock, 0);
    }
}

CTransferRecord::~CTransferRecord()
{
    if (m_bRunLocked)
        ::UnlockFileEx(m_file, 0, 1, 0, &m_runLock);
}

std::string CTransferRecord::RunLabel(RunKind kind, bool bAuto)
{
    return std::string(kind == RunKind::kExport ? "导出" : "导入") + (bAuto ? "（自动）" : "（手动）");
}

bool CTransferRecord::IsResult(const std::string& text)
{
    for (const char* result : { kStarted, kMoved, kLeft, kFailed, kEnded, kRefused, kStopped, kBroken }) {
        if (text == result)
            return true;
    }
    return false;
}

bool CTransferRecord::IsBeingWritten(const std::string& path, const std::string& who, const std::string& number)
{
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    OVERLAPPED where = RunLockAt(who, number);
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) {
        ::UnlockFileEx(file, 0, 1, 0, &where);
        return false;
    }
    return ::GetLastError() == ERROR_LOCK_VIOLATION;
}

std::string CTransferRecord::OlderFile(const std::string& path, int n)
{
    const size_t dot = path.rfind('.');
    return path.substr(0, dot) + "." + std::to_string(n) + path.substr(dot);
}

std::string CTransferRecord::WaitingFile(const std::string& path)
{
    return path.substr(0, path.rfind('.')) + ".待写入" + path.substr(path.rfind('.'));
}

std::string CTransferRecord::LockFile(const std::string& path)
{
    return path.substr(0, path.rfind('.')) + ".lock";
}

bool CTransferRecord::OpenForLines(const std::string& file)
{
    m_file.Attach(::CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (m_file.IsValid() && ::GetFileSize(m_file, nullptr) == 0)
        Write(kHeader);
    return m_file.IsValid();
}

void CTransferRecord::AddWaitingLines(const std::string& path)
{
    const std::string waiting = WaitingFile(path);
    std::string lines;
    {
        // Without write sharing: a run that still writes there keeps it for the next run.
        CFileHandle file(::CreateFileA(waiting.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid())
            return;
        const DWORD size = ::GetFileSize(file, nullptr);
        DWORD read = 0;
        lines.resize(size == INVALID_FILE_SIZE ? 0 : size);
        if (lines.empty() || !::ReadFile(file, &lines[0], size, &read, nullptr) || read != size)
            return;
    }
    const std::string header = HeaderLine();
    if (lines.compare(0, header.size(), header) == 0)
        lines.erase(0, header.size());
    if (!lines.empty() && lines.back() != '\n')
        lines += "\r\n";
    if (lines.empty() || AppendLines(m_file, lines))
        ::DeleteFileA(waiting.c_str());
}

void CTransferRecord::Open(const std::string& path)
{
    // Runs of every process and computer rotate and start the record one at a time.
    CFileHandle lockFile(::CreateFileA(LockFile(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    OVERLAPPED first = {};
    const bool held = lockFile.IsValid() && LockByte(lockFile, first, LOCKFILE_EXCLUSIVE_LOCK, kOpenWaitMs);
    // A rotation that an earlier run could not finish goes on first.
    const std::string aside = OlderFile(path, 0);
    const bool pending = Exists(aside) && !ShiftOlder(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    const bool full = ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)
                      && ((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) >= kRotateBytes;
    // The record moves aside before anything older goes. One that cannot move is held by another
    // program (Excel): nothing is touched, and the run's lines wait beside it, as they do when the
    // record cannot be opened for writing.
    const bool blocked = full && !pending && !::MoveFileA(path.c_str(), aside.c_str());
    if (full && !pending && !blocked)
        ShiftOlder(path);
    if (!blocked && OpenForLines(path))
        AddWaitingLines(path);
    else
        OpenForLines(WaitingFile(path));
    if (held)
        ::UnlockFileEx(lockFile, 0, 1, 0, &first);
}

void CTransferRecord::Write(const char* const fields[kColumns])
{
    if (!m_file.IsValid())
        return;
    std::string line;
    for (int i = 0; i < kColumns; ++i)
        AppendField(line, fields[i]);
    AppendLines(m_file, line + "\r\n");
}

void CTransferRecord::Write(const char* result, const std::string& detail, const std::string& source,
                            const std::string& target, const std::string& size, const std::string& error, Box box)
{
    const std::string time = Now();
    const std::string number = std::to_string(m_nNumber);
    const char* const fields[kColumns] = { time.c_str(),   number.c_str(), m_strRun.c_str(), source.c_str(),
                                           target.c_str(), size.c_str(),   result,           detail.c_str(),
                                           error.c_str(),  BoxText(box),   m_strWho.c_str() };
    Write(fields);
}

void CTransferRecord::RunStarted(const RunInput& input)
{
    // The user organisation ID as this run has it: the one the plug-in read when the host loaded it.
    const std::string org = "用户机构代码（UserOrgID）为“" + input.userOrgID.strValue + "”";
    if (m_kind == RunKind::kExport)
        Write(kStarted, std::string("传送后删除源文件：") + (input.bDeleteAfterCopy ? "是" : "否") + "；" + org,
              input.strSourcePath, input.strExportLocation);
    else
        Write(kStarted, org, DeliveryFolder(input), input.strDestPath);
}

void CTransferRecord::Refused(const std::string& why, Box box)
{
    m_bRefused = true;
    Write(kRefused, why, "", "", "", "", box);
}

void CTransferRecord::BoxClosed(BoxAnswer answer)
{
    m_nBoxesUnshown += answer == BoxAnswer::kNotShown ? 1 : 0;
    m_nBoxesClosedByThemselves += answer == BoxAnswer::kClosedByItself ? 1 : 0;
}

void CTransferRecord::Entry(const EntryDecision& decision, ULONGLONG size, Outcome outcome, DWORD error,
                            const std::string& archive, Box box)
{
    const char* const result = RowOf(kOutcomes, outcome).result;
    const std::string detail = OutcomeText(outcome, decision, archive);
    (result == kMoved ? m_nMoved : result == kLeft ? m_nLeft : m_nFailed) += 1;
    Write(result, detail, decision.source, decision.target, std::to_string(size),
          error != 0 ? SystemErrorText(error) : "", box);
}

void CTransferRecord::RunEnded(End end)
{
    if (m_bRefused)
        return;
    std::string counts = Counts(m_nMoved, m_nLeft, m_nFailed);
    if (m_nBoxesClosedByThemselves != 0)
        counts += "；" + std::to_string(m_nBoxesClosedByThemselves) + "个“错误信息”提示框没有人点，按AutoErrorBoxSeconds自行关闭了";
    if (m_nBoxesUnshown != 0)
        counts += "；" + std::to_string(m_nBoxesUnshown) + "个“错误信息”提示框没能显示（运行窗口已经关闭）";
    switch (end) {
    case End::kDone:
        Write(kEnded, counts);
        break;
    case End::kStopped:
        Write(kStopped, "宿主程序退出或者关闭了窗口，运行在文件之间停下，没有处理的文件留待下次；" + counts);
        break;
    case End::kBroken:
        Write(kBroken, "插件内部出错，运行没有做完，没有处理的文件留待下次；" + counts);
        break;
    }
}

std::string OutcomeText(Outcome outcome, const EntryDecision& decision, const std::string& archive)
{
    const std::string reason = ReasonText(decision);
    const std::string values[] = { reason, reason.empty() ? "" : "：", JoinPath(kBackupFolder, archive) };
    return FillIn(RowOf(kOutcomes, outcome).words, "r:a", values);
}

std::vector<std::string> CTransferRecord::ParseLine(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else if (c != '\r' && c != '\n') {
            fields.back() += c;
        }
    }
    return fields;
}
