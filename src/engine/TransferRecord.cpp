#include "engine/TransferRecord.h"

#include "engine/TransferEngine.h"
#include "framework/App.h"
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

// Takes the lock on one byte at where, waiting kLockWaitMs at most for a holder to let it go.
bool LockByte(HANDLE file, OVERLAPPED& where, DWORD flags)
{
    for (DWORD waited = 0; !::LockFileEx(file, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where);
         waited += kLockPollMs) {
        if (waited >= kLockWaitMs)
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

// Moves the record set aside (.0) and the older ones each one on, the oldest going; stops at the first
// that cannot move, so that nothing but the oldest is ever lost. True when the one set aside has moved.
bool ShiftOlder(const std::string& path)
{
    ::DeleteFileA(CTransferRecord::OlderFile(path, CTransferRecord::kOlderFiles).c_str());
    for (int n = CTransferRecord::kOlderFiles - 1; n >= 0; --n) {
        const std::string older = CTransferRecord::OlderFile(path, n);
        if (Exists(older) && !::MoveFileA(older.c_str(), CTransferRecord::OlderFile(path, n + 1).c_str()))
            return false;
    }
    return true;
}

const char* BoxText(Box box)
{
    return box == Box::kShown ? "已显示" : box == Box::kNotShown ? "未能显示（运行窗口已经关闭）" : "";
}

} // namespace

const char CTransferRecord::kStarted[] = "开始";
const char CTransferRecord::kMoved[] = "已传送";
const char CTransferRecord::kLeft[] = "未传送";
const char CTransferRecord::kFailed[] = "失败";
const char CTransferRecord::kEnded[] = "结束";
const char CTransferRecord::kRefused[] = "拒绝";
const char CTransferRecord::kStopped[] = "中止";
const char CTransferRecord::kBroken[] = "出错";

CTransferRecord::CTransferRecord(const std::string& path, RunKind kind, bool bAuto)
    : m_kind(kind), m_runLock(), m_bRunLocked(false), m_nNumber(0),
      m_strRun(std::string(kind == RunKind::kExport ? "导出" : "导入") + (bAuto ? "（自动）" : "（手动）")),
      m_strWho(Who()), m_nMoved(0), m_nLeft(0), m_nFailed(0), m_bRefused(false), m_refusalBox(Box::kNone)
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

void CTransferRecord::Open(const std::string& path)
{
    // Processes of this user rotate and start the file one at a time.
    CHandle mutex(::CreateMutexA(nullptr, FALSE, (std::string(CApp::Get()->GetAppName()) + ".Record").c_str()));
    const bool held = mutex.IsValid() && ::WaitForSingleObject(mutex, 5000) != WAIT_TIMEOUT;
    // A rotation that an earlier run could not finish goes on first.
    const std::string aside = OlderFile(path, 0);
    const bool pending = Exists(aside) && !ShiftOlder(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    const bool full = ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)
                      && ((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) >= kRotateBytes;
    // The record moves aside before anything older goes. One that cannot move is held by another
    // program (Excel): nothing is touched, and the run writes no lines.
    const bool blocked = full && !pending && !::MoveFileA(path.c_str(), aside.c_str());
    if (full && !pending && !blocked)
        ShiftOlder(path);
    if (!blocked) {
        m_file.Attach(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (m_file.IsValid() && ::GetFileSize(m_file, nullptr) == 0)
            Write(kHeader);
    }
    if (held)
        ::ReleaseMutex(mutex);
}

void CTransferRecord::Write(const char* const fields[kColumns])
{
    if (!m_file.IsValid())
        return;
    std::string line;
    for (int i = 0; i < kColumns; ++i)
        AppendField(line, fields[i]);
    line += "\r\n";
    // The lock makes "find the end, write there" one step among all writers of the file; a line whose
    // turn does not come is passed over.
    OVERLAPPED lock = {};
    lock.OffsetHigh = kLockOffsetHigh;
    if (!LockByte(m_file, lock, LOCKFILE_EXCLUSIVE_LOCK))
        return;
    const LARGE_INTEGER zero = {};
    LARGE_INTEGER end = {};
    DWORD written = 0;
    if (::SetFilePointerEx(m_file, zero, &end, FILE_END)
        && (!::WriteFile(m_file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr)
            || written != line.size())) {
        // Part of a line (a full disk) would run into the next one: the file goes back to where it was.
        ::SetFilePointerEx(m_file, end, nullptr, FILE_BEGIN);
        ::SetEndOfFile(m_file);
    }
    ::UnlockFileEx(m_file, 0, 1, 0, &lock);
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
    m_strRefusal = why;
    m_refusalBox = box;
}

void CTransferRecord::Entry(const EntryDecision& decision, ULONGLONG size, Outcome outcome, DWORD error,
                            const std::string& archive, Box box)
{
    const char* result = kMoved;
    std::string detail;
    switch (outcome) {
    case Outcome::kLeft:
        result = kLeft;
        detail = ReasonText(decision);
        break;
    case Outcome::kTakenByAnotherRun:
        result = kLeft;
        detail = "另一个运行已经取走了它（或者别的程序把它移走或删除了），本次不传送";
        break;
    case Outcome::kSourceBeingWritten:
        result = kLeft;
        detail = "送来的文件还在被别的程序写入，下次导入再传送";
        break;
    case Outcome::kSourceNowFolder:
        result = kLeft;
        detail = "列出之后它变成了一个文件夹，插件不进入文件夹";
        break;
    case Outcome::kUnfinishedClaim:
        result = kLeft;
        detail = "上次导入取走的同名文件还没有做完（在Backup里等着），这个文件下次导入再传送";
        break;
    case Outcome::kCopyFailed:
        result = kFailed;
        detail = "文件拷贝出错" + (ReasonText(decision).empty() ? "" : "：" + ReasonText(decision)) + "。源文件留在原处，下次再传送";
        break;
    case Outcome::kCopied:
        detail = "已复制，源文件保留（传送后不删除源文件）";
        break;
    case Outcome::kSourceDeleted:
        detail = "已复制，已删除源文件";
        break;
    case Outcome::kSourceChanged:
        detail = "已复制；源文件在复制之后有改动，没有删除，下次导出再传送";
        break;
    case Outcome::kDeleteFailed:
        result = kFailed;
        detail = "已复制，但是源文件无法删除，下次导出会再传送它";
        break;
    case Outcome::kClaimFailed:
        result = kFailed;
        detail = "无法移到Backup（导入先把送来的文件移进Backup，再放到接收目录），没有传送。文件留在交付文件夹，下次再传送";
        break;
    case Outcome::kArchived:
        detail = "已复制，备份为 " + JoinPath(kBackupFolder, archive);
        break;
    case Outcome::kPlaceFailed:
        result = kFailed;
        detail = "已取走并复制，但是无法放到接收目录；文件在Backup里等着，下次导入会完成";
        break;
    case Outcome::kArchiveFailed:
        result = kFailed;
        detail = "已放到接收目录，但是无法备份；文件在Backup里等着，下次导入会补做备份";
        break;
    case Outcome::kClaimFinished:
        detail = "上次导入没有做完：现在已放到接收目录，备份为 " + JoinPath(kBackupFolder, archive);
        break;
    case Outcome::kArchivedOnly:
        detail = "上次导入已经把它放到接收目录，只是没有备份：现在备份为 " + JoinPath(kBackupFolder, archive);
        break;
    }
    (result == kMoved ? m_nMoved : result == kLeft ? m_nLeft : m_nFailed) += 1;
    Write(result, detail, decision.source, decision.target, std::to_string(size),
          error != 0 ? SystemErrorText(error) : "", box);
}

void CTransferRecord::RunEnded(End end)
{
    const std::string counts = Counts(m_nMoved, m_nLeft, m_nFailed);
    if (m_bRefused) {
        Write(kRefused, m_strRefusal, "", "", "", "", m_refusalBox);
        return;
    }
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
