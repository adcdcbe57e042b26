// qrvcheck.exe on real workspaces: each setting, file, mapping and plan problem once, with the line it
// prints and the exit code; then its arguments.
#include "CheckWorkspace.h"

#include "Version.h"
#include "engine/Claim.h"
#include "framework/Handle.h"
#include "settings/Settings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <functional>

namespace checktest {
namespace {

using Setup = std::function<void(CheckWorkspace&)>;

const char kPlugin[] = "QRVCHECK";

struct Case {
    const char* what;
    Setup setUp;
    const char* options;
    DWORD exitCode;
    std::string line;             // a line of the output holds this
    const char* absent = nullptr; // and no line holds this
};

// A temporary copy named in 1601: long past the age at which runs remove them.
const char kStaleTemporary[] = ".~qrvlnk-0000000000000001-1-2-0.part";

Setup SetString(const char* name, const std::string& value, DWORD type = REG_SZ)
{
    return [=](CheckWorkspace& ws) { ws.Profile().SetString(name, value, type); };
}

Setup Delete(const char* name)
{
    return [=](CheckWorkspace& ws) { ws.Profile().Delete(name); };
}

Setup Mapping(const std::string& lines)
{
    return [=](CheckWorkspace& ws) { ws.WriteMapping(lines); };
}

Setup OrgMapBytes(const std::string& bytes)
{
    return [=](CheckWorkspace& ws) { test::WriteFile(ws.OrgMap(), bytes); };
}

// A file named name in the workspace's folder, held open by another program.
Setup HeldOpen(std::string (CheckWorkspace::*folder)() const, const std::string& name)
{
    return [=](CheckWorkspace& ws) {
        const std::string path = (ws.*folder)() + "\\" + name;
        test::WriteFile(path, name);
        ws.Lock(path);
    };
}

// A file of size bytes that takes no room on disk.
void SparseFile(const std::string& path, unsigned long long size)
{
    CHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    ::SetEndOfFile(file);
}

Setup SendFile(const std::string& name)
{
    return [=](CheckWorkspace& ws) { test::WriteFile(ws.Send() + "\\" + name, name); };
}

TEST(Check, EachProblemOnceWithItsLineAndExitCode)
{
    const std::string over16(17, 'Q');
    const std::string over127 = "ClientID0000=C01\r\nQRVID0000=P01\r\nClientID0001=" + std::string(130, 'C')
                                + "\r\nQRVID0001=P02\r\n";
    const Case cases[] = {
        { "all right", nullptr, "--plan", 0, "[结论] 没有发现问题" },
        { "no registry key: one line, not one for each value", [](CheckWorkspace& ws) { ws.Profile().Clear(); }, "", 1,
          "不存在：这个Windows用户还没有插件的设置，导出和导入都会停止。刚安装、宿主程序还没有加载过插件时，这是正常的", "SourcePath" },
        { "SourcePath missing", Delete(settings::kSourcePath), "", 1, "[错误] SourcePath（源数据发送目录）没有设置，导出会停止。请在“接口参数设置”的“数据文件路径”页选择" },
        { "ExportLocation empty", SetString(settings::kExportLocation, ""), "", 1,
          "[错误] ExportLocation（数据文件存放路径）是空的，导出和导入都会停止。它由宿主程序设定：请在宿主程序里设定数据文件存放路径，然后" },
        { "DestPath REG_EXPAND_SZ", SetString(settings::kDestPath, "%TEMP%", REG_EXPAND_SZ), "", 1,
          "[错误] DestPath（源数据接收目录）是REG_EXPAND_SZ类型的“%TEMP%”，插件只读取REG_SZ类型，当作没有设置，导入会停止。" },
        { "SourcePath REG_DWORD", [](CheckWorkspace& ws) { ws.Profile().SetDword(settings::kSourcePath, 7); }, "", 1,
          "SourcePath（源数据发送目录）是REG_DWORD类型的“7”，插件只读取REG_SZ类型" },
        { "SourcePath a file", [](CheckWorkspace& ws) {
              test::WriteFile(ws.Root() + "\\send.txt", "x");
              ws.Profile().SetString(settings::kSourcePath, ws.Root() + "\\send.txt");
          }, "", 1, "send.txt”是文件，不是文件夹，导出找不到任何文件。" },
        { "DestPath missing folder", [](CheckWorkspace& ws) { test::RemoveTree(ws.Receive()); }, "", 1,
          "recv”不存在，导入的文件都会留在交付文件夹。请建立这个文件夹" },
        { "ExportLocation unreachable", SetString(settings::kExportLocation, "\\\\qrv-nohost\\share"), "", 1,
          "[错误] ExportLocation（数据文件存放路径）“\\\\qrv-nohost\\share”无法访问，驱动器或网络共享\\\\qrv-nohost\\share\\不可用" },
        { "SourcePath trailing blank", [](CheckWorkspace& ws) { ws.Profile().SetString(settings::kSourcePath, ws.Send() + " "); },
          "", 1, "send ”首尾有空格，插件会把这个空格当作路径的一部分，指的是另一个文件夹（通常不存在，导出找不到任何文件）。请在" },
        { "UserOrgID leading full-width blank", SetString(settings::kUserOrgID, "　Q900"), "", 1,
          "[错误] UserOrgID（用户机构代码）“　Q900”首尾有空格，插件会把这个空格当作代码的一部分，找的是另一个交付文件夹。它由宿主程序设定" },
        { "UserOrgID read at load", nullptr, "", 0,
          "[正常] UserOrgID（用户机构代码）：Q900。插件只在宿主程序加载它时读取这个值，宿主程序改了用户机构代码以后要重新启动" },
        { "UserOrgID missing", Delete(settings::kUserOrgID), "", 1,
          "[错误] UserOrgID（用户机构代码）没有设置，导入会停止。它由宿主程序设定：请在宿主程序里设定用户机构代码，然后重新启动宿主程序", "改正" },
        { "UserOrgID too long", SetString(settings::kUserOrgID, over16), "", 1,
          "[错误] UserOrgID（用户机构代码）“QQQQQQQQQQQQQQQQQ”有17个字节，超过16个字节（8个汉字）的限制，导入会被拒绝" },
        { "UserOrgID leaves its root", SetString(settings::kUserOrgID, "..\\Q900"), "", 1,
          "[错误] UserOrgID（用户机构代码）“..\\Q900”不是一个文件夹名（含有\\、/、:，只有点和空格，或者是NUL、COM1这样的设备名），导入会被拒绝" },
        { "IsDeleted a string", SetString(settings::kIsDeleted, "1"), "", 0,
          "[注意] IsDeleted（文件传送完毕后删除）是REG_SZ类型的“1”，插件只读取REG_DWORD类型，当作0：导出后源文件留在发送目录" },
        { "IsDeleted missing", Delete(settings::kIsDeleted), "", 0, "[注意] IsDeleted（文件传送完毕后删除）没有设置（设置页在保存前显示为勾选），当作0" },
        { "RecordTransfers a string", SetString(settings::kRecordTransfers, "abc"), "", 0,
          "[注意] RecordTransfers（传送记录）是REG_SZ类型的“abc”，插件只读取REG_DWORD，按1处理，照常写传送记录。要关闭记录，请把它改为DWORD值0" },
        { "RecordTransfers 0", [](CheckWorkspace& ws) { ws.Profile().SetDword(settings::kRecordTransfers, 0); }, "", 0,
          "[注意] RecordTransfers（传送记录）为0，运行不写传送记录.csv。要恢复记录，请删除这个值或把它设为1" },
        { "AutoErrorBoxSeconds missing", nullptr, "", 0,
          "[信息] AutoErrorBoxSeconds（自动运行的错误提示框）：一直等人点“确定”，在这之前这次自动运行不结束" },
        { "AutoErrorBoxSeconds 300", [](CheckWorkspace& ws) { ws.Profile().SetDword(settings::kAutoErrorBoxSeconds, 300); },
          "", 0, "[正常] AutoErrorBoxSeconds（自动运行的错误提示框）：300秒内没有人点“确定”就自行关闭" },
        { "AutoErrorBoxSeconds a string", SetString(settings::kAutoErrorBoxSeconds, "300"), "", 0,
          "[注意] AutoErrorBoxSeconds（自动运行的错误提示框）是REG_SZ类型的“300”，插件只读取REG_DWORD，按0处理" },
        { "no delivery folder", [](CheckWorkspace& ws) { test::RemoveTree(ws.Delivery()); }, "", 0,
          "还不存在，导入没有文件可取" },
        { "OrgMap.ini missing", [](CheckWorkspace& ws) { ::DeleteFileA(ws.OrgMap().c_str()); }, "", 1,
          "\\OrgMap.ini）不存在，导出时没有代码对应，所有文件都会留在发送目录。请把OrgMap.ini放到" },
        { "OrgMap.ini a folder", [](CheckWorkspace& ws) {
              ::DeleteFileA(ws.OrgMap().c_str());
              test::MakeDir(ws.OrgMap());
          }, "", 1, "\\OrgMap.ini）是文件夹，不是文件" },
        { "OrgMap.ini held open", [](CheckWorkspace& ws) { ws.Lock(ws.OrgMap()); }, "", 1,
          "\\OrgMap.ini）无法读取（系统错误 32" },
        { "OrgMap.ini invalid GBK", OrgMapBytes("[OrgMapping]\r\nClientID0000=C01\r\nQRVID0000=P\x81\x20\r\n"), "", 1,
          "）第3行第12个字节 0x81 0x20不是GBK字符，这里的文字会读错，请用记事本打开它" },
        { "OrgMap.ini UTF-8 with BOM", OrgMapBytes("\xEF\xBB\xBF[OrgMapping]\r\nClientID0000=C01\r\nQRVID0000=P01\r\n"), "", 1,
          "）是带字节顺序标记（BOM）的UTF-8文本，不是GBK文本" },
        { "OrgMap.ini UTF-8", OrgMapBytes("[OrgMapping]\r\nClientID0000=\xE5\x8C\x97\xE4\xBA\xAC\r\nQRVID0000=P01\r\n"), "",
          1, "）是UTF-8文本，不是GBK文本", "代码对应" },
        { "plan: OrgMap.ini UTF-8", [](CheckWorkspace& ws) {
              test::WriteFile(ws.OrgMap(), "[OrgMapping]\r\nClientID0000=\xE5\x8C\x97\xE4\xBA\xAC\r\nQRVID0000=P01\r\n");
              test::WriteFile(ws.Send() + "\\a_北京_1.txt", "a");
          }, "--plan", 1, "[未传送] a_北京_1.txt：客户代码“北京”在读到的代码对应中没有，文件留在发送目录。OrgMap.ini不是GBK文本",
          "增加" },
        { "TaskDefine.ini missing", [](CheckWorkspace& ws) { ::DeleteFileA(ws.TaskDefine().c_str()); }, "", 0,
          "\\TaskDefine.ini）不存在" },
        { "mapping cut", Mapping(over127), "", 1, "ClientID0001=“CCC" },
        { "mapping cut, the reason", Mapping(over127), "", 1, "被跳过：客户代码超过127个字节，读取时被截断" },
        { "mapping duplicated", Mapping("ClientID0000=C01\r\nQRVID0000=P01\r\nClientID0001=C01\r\nQRVID0001=P02\r\n"), "", 0,
          "[注意] 代码对应ClientID0001=“C01”→“P02”不起作用：前面已经有同一个客户代码的对应" },
        { "mapping half pair", Mapping("ClientID0000=C01\r\nQRVID0000=P01\r\nClientID0001=C02\r\n"), "", 1,
          "[错误] 代码对应ClientID0001=“C02”被跳过：没有QRVID0001（或者它是空的）" },
        { "mapping client code over-long", Mapping("ClientID0000=C01\r\nQRVID0000=P01\r\nClientID0001=C23456789012345678901234\r\nQRVID0001=P02\r\n"),
          "", 1, "被跳过：客户代码超过23个字节" },
        { "mapping platform code over-long", Mapping("ClientID0000=C01\r\nQRVID0000=P234567890123456\r\n"), "", 1,
          "被跳过：网商代码超过15个字节" },
        { "mapping leaves its root", Mapping("ClientID0000=C01\r\nQRVID0000=..\\x\r\n"), "", 1,
          "[错误] 代码对应ClientID0000=“C01”→“..\\x”被跳过：网商代码不是一个文件夹名" },
        { "mapping numbering gap", Mapping("ClientID0000=C01\r\nQRVID0000=P01\r\nClientID0002=C03\r\nQRVID0002=P03\r\n"), "",
          1, "[错误] 代码对应ClientID0002=“C03”被跳过：编号在ClientID0001处中断" },
        { "mapping client code with an underscore", Mapping("ClientID0000=C01\r\nQRVID0000=P01\r\nClientID0001=C_02\r\nQRVID0001=P02\r\n"),
          "", 1, "[错误] 代码对应ClientID0001=“C_02”→“P02”用不上：客户代码含有下划线" },
        { "no usable mapping", Mapping(""), "", 1, "[错误] 没有可用的代码对应" },
        { "the sample's pairs", Mapping("ClientID0000=C001\r\nQRVID0000=Q100\r\nClientID0001=C002\r\nQRVID0001=Q200\r\n"
                                        "ClientID0002=华东\r\nQRVID0002=Q300\r\nClientID0003=C01\r\nQRVID0003=P01\r\n"),
          "", 0, "[注意] 代码对应里还有示例的对应：C001→Q100、C002→Q200、华东→Q300。它们只是例子" },
        { "a sample's client code with a real platform code", Mapping("ClientID0000=C001\r\nQRVID0000=P01\r\n"), "", 0,
          "[正常] 代码对应：1个可用", "示例" },
        { "plan: exported", SendFile("a_C01_1.txt"), "--plan", 0, "P01\\a_C01_1.txt（先建立文件夹P01），然后删除源文件" },
        { "plan: no client code", SendFile("notes.txt"), "--plan", 1,
          "[未传送] notes.txt：文件名不是“前缀_客户代码_其余”的形式，没有客户代码" },
        { "plan: code not mapped", SendFile("a_C99_1.txt"), "--plan", 1, "[未传送] a_C99_1.txt：客户代码“C99”在代码对应中没有" },
        { "plan: pair skipped", [](CheckWorkspace& ws) {
              ws.WriteMapping("ClientID0000=C01\r\nQRVID0000=P01\r\nClientID0001=C02\r\n");
              test::WriteFile(ws.Send() + "\\a_C02_1.txt", "x");
          }, "--plan", 1, "[未传送] a_C02_1.txt：客户代码“C02”的对应ClientID0001被跳过，文件留在发送目录" },
        { "plan: a folder where the copy goes", [](CheckWorkspace& ws) {
              test::WriteFile(ws.Send() + "\\a_C01_1.txt", "x");
              test::MakeDir(ws.Data() + "\\P01");
              test::MakeDir(ws.Data() + "\\P01\\a_C01_1.txt");
          }, "--plan", 1, "[未传送] a_C01_1.txt：目标位置是一个文件夹，导出时提示“文件拷贝出错”，文件留在发送目录。请把这个文件夹改名或移走" },
        { "plan: folder", [](CheckWorkspace& ws) { test::MakeDir(ws.Send() + "\\C01"); }, "--plan", 0,
          "[跳过] C01：是文件夹，插件不进入文件夹，里面的文件不会被导出" },
        { "plan: a temporary copy in the send folder", SendFile(".~qrvlnk-1-2.part"), "--plan", 0,
          "[跳过] .~qrvlnk-1-2.part：是复制用的临时文件（复制正在进行，或者被中断），插件不处理" },
        { "plan: a stale temporary copy in the receive folder",
          [](CheckWorkspace& ws) { test::WriteFile(ws.Receive() + "\\" + kStaleTemporary, "half"); }, "--plan", 0,
          std::string("recv\\") + kStaleTemporary + "：中断的复制留下的临时文件（一天以前的），导入时删除" },
        { "overlap: the receive directory is the delivery folder's Backup",
          [](CheckWorkspace& ws) { ws.Profile().SetString(settings::kDestPath, ws.Backup()); }, "", 1,
          "[错误] 源数据接收目录（DestPath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面" },
        { "overlap: the send directory inside a platform folder",
          [](CheckWorkspace& ws) { ws.Profile().SetString(settings::kSourcePath, ws.Data() + "\\p01\\out\\"); }, "", 1,
          "[错误] 源数据发送目录（SourcePath）是数据文件存放路径（ExportLocation）下网商代码“P01”的文件夹" },
        { "plan: imported", [](CheckWorkspace& ws) { test::WriteFile(ws.Delivery() + "\\d.txt", "d"); }, "--plan", 0,
          "recv\\d.txt，备份为 " },
        { "plan: name already in Backup", [](CheckWorkspace& ws) {
              test::WriteFile(ws.Delivery() + "\\d.txt", "d");
              test::MakeDir(ws.Backup());
              test::WriteFile(ws.Backup() + "\\d.txt", "old");
          }, "--plan", 0, "\\Q900\\Backup\\d.txt.1" },
        { "plan: a read-only target", [](CheckWorkspace& ws) {
              test::WriteFile(ws.Delivery() + "\\d.txt", "d");
              test::WriteFile(ws.Receive() + "\\d.txt", "older d");
              ::SetFileAttributesA((ws.Receive() + "\\d.txt").c_str(), FILE_ATTRIBUTE_READONLY);
          }, "--plan", 1, "是只读的，不能被替换，复制会失败，文件留在交付文件夹" },
        { "plan: a file named Backup", [](CheckWorkspace& ws) { test::WriteFile(ws.Backup(), "not a folder"); }, "--plan", 1,
          "[错误] 交付文件夹里的Backup是一个文件，不是文件夹" },
        { "plan: a delivery still being written", HeldOpen(&CheckWorkspace::Delivery, "d.txt"), "--plan", 1,
          "[未传送] d.txt：送来的文件还在被别的程序写入，下次导入再传送" },
        { "plan: a claim an earlier import left", [](CheckWorkspace& ws) {
              test::MakeDir(ws.Backup());
              const std::string claims = ClaimFolderOf(ws.Backup(), ws.Receive());
              test::MakeDir(claims);
              test::WriteFile(claims + "\\d.txt", "d");
              test::WriteFile(ws.Receive() + "\\" + ClaimCopyName(ClaimCopyMark(ws.Backup()), "d.txt"), "d");
          }, "--plan", 0, "[导入] 上次导入没有做完：d.txt已经从交付文件夹取走，复制好了但还没有放到接收目录；下次导入会完成" },
        { "plan: a claim an import into another receive directory left", [](CheckWorkspace& ws) {
              test::MakeDir(ws.Backup());
              test::MakeDir(ws.Backup() + "\\.~qrvlnk-claims-0badf00d-0000000000000001");
              test::WriteFile(ws.Backup() + "\\.~qrvlnk-claims-0badf00d-0000000000000001\\d.txt", "d");
          }, "--plan", 1,
          "\\Q900\\Backup\\.~qrvlnk-claims-0badf00d-0000000000000001\\d.txt：以前导入到另一个接收目录时没有做完" },
        { "DestPath relative", SetString(settings::kDestPath, "recv"), "", 1,
          "[错误] DestPath（源数据接收目录）“recv”不是完整的路径（X:\\…或者\\\\服务器\\共享\\…），运行时按宿主程序当时的工作目录解释，现在是" },
        { "ExportLocation drive-relative", SetString(settings::kExportLocation, "C:"), "", 1,
          "[错误] ExportLocation（数据文件存放路径）“C:”不是完整的路径" },
        { "overlap: the receive directory is the send directory",
          [](CheckWorkspace& ws) { ws.Profile().SetString(settings::kDestPath, ws.Send()); }, "", 1,
          "[错误] 源数据接收目录（DestPath）和源数据发送目录（SourcePath）是同一个文件夹，或者一个在另一个里面" },
        { "UserOrgID empty", SetString(settings::kUserOrgID, ""), "", 1,
          "[错误] UserOrgID（用户机构代码）是空的，导入会停止。它由宿主程序设定：请在宿主程序里设定用户机构代码，然后重新启动宿主程序", "改正" },
        { "a pair to the user's own delivery folder", [](CheckWorkspace& ws) {
              ws.WriteMapping("ClientID0000=C01\r\nQRVID0000=q900\r\n");
              test::WriteFile(ws.Send() + "\\a_C01_1.txt", "a");
          }, "--plan", 1, "[错误] 代码对应里网商代码“q900”的文件夹是用户机构代码（UserOrgID）的交付文件夹或者它的Backup" },
        { "a pair to the user's own delivery folder, in full-width and Greek capitals", [](CheckWorkspace& ws) {
              ws.Profile().SetString(settings::kUserOrgID, "ＱΑ1");
              test::MakeDir(ws.Data() + "\\ＱΑ1");
              ws.WriteMapping("ClientID0000=C01\r\nQRVID0000=ｑα1\r\n");
              test::WriteFile(ws.Send() + "\\a_C01_1.txt", "a");
          }, "--plan", 1, "[错误] 代码对应里网商代码“ｑα1”的文件夹是用户机构代码（UserOrgID）的交付文件夹或者它的Backup" },
        { "plan: a pair to the user's own delivery folder", [](CheckWorkspace& ws) {
              ws.WriteMapping("ClientID0000=C01\r\nQRVID0000=Q900\r\n");
              test::WriteFile(ws.Send() + "\\a_C01_1.txt", "a");
          }, "--plan", 1, "a_C01_1.txt：客户代码“C01”对应的网商代码“Q900”的文件夹是本机构的交付文件夹或者它的Backup" },
        { "overlap: an import from the send directory",
          [](CheckWorkspace& ws) { ws.Profile().SetString(settings::kSourcePath, ws.Delivery()); }, "", 1,
          "[错误] 源数据发送目录（SourcePath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面，导入会把等待导出的文件取走" },
        { "plan: name outside GBK", [](CheckWorkspace& ws) { ws.WriteWide(ws.Delivery(), L"d_\u0E01.txt", "d"); }, "--plan",
          1, "[未传送] d_?.txt：文件名含有GBK以外的字符（显示为“?”）" },
        { "plan: a source held open", HeldOpen(&CheckWorkspace::Send, "a_C01_1.txt"), "--plan", 1,
          "[未传送] a_C01_1.txt：源文件正被其他程序使用（例如还在写入），导出时提示“文件拷贝出错”" },
        { "plan: a read-only source to delete", [](CheckWorkspace& ws) {
              test::WriteFile(ws.Send() + "\\a_C01_1.txt", "a");
              ::SetFileAttributesA((ws.Send() + "\\a_C01_1.txt").c_str(), FILE_ATTRIBUTE_READONLY);
          }, "--plan", 1, "[错误] a_C01_1.txt → " },
        { "plan: too little free space", [](CheckWorkspace& ws) { SparseFile(ws.Send() + "\\a_C01_big.txt", 4ULL << 40); },
          "--plan", 1, "所在的磁盘只有" },
        { "plan: too little free space, the size", [](CheckWorkspace& ws) { SparseFile(ws.Send() + "\\a_C01_big.txt", 4ULL << 40); },
          "--plan", 1, "可用空间，导出要复制的文件共4.0 TB，空间不够时复制会失败" },
    };
    for (const Case& c : cases) {
        TRACE_CASE(cases, c);
        CheckWorkspace ws(kPlugin);
        if (c.setUp)
            c.setUp(ws);
        const test::ProgramResult r = ws.Check(c.options);
        EXPECT_EQ(c.exitCode, r.exitCode) << c.what << "\n" << r.output;
        EXPECT_TRUE(HasLine(r.output, c.line)) << c.what << ": no line holds\n" << c.line << "\nin\n" << r.output;
        if (c.absent) {
            EXPECT_FALSE(HasLine(r.output, c.absent)) << c.what << ": a line holds\n" << c.absent << "\nin\n" << r.output;
        }
    }
}

TEST(Check, ArgumentsAndUsage)
{
    CheckWorkspace ws(kPlugin);
    const test::PluginProfile noDefaultProfile("QRVLNK");
    const struct {
        std::string args;
        std::string dir;
        DWORD exitCode;
        std::string line;
    } cases[] = {
        { "--help", "", 0, "用法：qrvcheck.exe [--plan] [工作目录 [插件名]]" },
        { "--help", "", 0, "--plan    同时预演导出和导入" },
        { "--frobnicate", "", 2, "无法识别的选项：--frobnicate" },
        { "a b c", "", 2, "多余的参数：c" },
        { "\"" + ws.Root() + "\\none\"", "", 2, "\\none（系统错误 " },
        { ". ..\\x", "", 2, "插件名不能用作DLL的名字：..\\x" },
        { "--history 0", "", 2, "运行次数“0”不对：--history后面要给出1到9999之间的数" },
        { "--history 10000", "", 2, "运行次数“10000”不对" },
        { "--history -3", "", 2, "运行次数“-3”不对" },
        { "--history --plan", "", 2, "--plan和--history不能一起用" },
        { "--plan-table --history", "", 2, "--plan-table和--history不能一起用" },
        { "", ws.Host(), 1, "[错误] 注册表项HKEY_CURRENT_USER\\Software\\Quorvane\\QRVLNK\\2.0不存在" },
        { "", ws.Host(), 1, "[信息] 插件：" + test::BinDir() + "\\QRVLNK.dll，版本" + QRVLNK_VERSION_TEXT },
        { ". " + std::string(kPlugin), ws.Host(), 0, "[信息] 工作目录：" + ws.Host() },
        { ". " + std::string(kPlugin), ws.Host(), 0, "[注意] qrvcheck.exe所在的文件夹里没有QRVCHECK.dll" },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        const test::ProgramResult r = RunChecker(c.args, c.dir);
        EXPECT_EQ(c.exitCode, r.exitCode) << c.args << "\n" << r.output;
        EXPECT_TRUE(HasLine(r.output, c.line)) << c.args << ": no line holds\n" << c.line << "\nin\n" << r.output;
        if (c.exitCode == 2) {
            EXPECT_TRUE(HasLine(r.output, "用法：")) << "a wrong argument shows the usage: " << c.args;
        }
    }
}

} // namespace
} // namespace checktest
