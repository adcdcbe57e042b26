#include "IniFiles.h"

#include "Folder.h"
#include "TextEncoding.h"
#include "framework/Gbk.h"
#include "framework/Handle.h"
#include "framework/SystemError.h"
#include "settings/Settings.h"

#include <windows.h>
#include <cstdio>

namespace check {

namespace {

std::string Hex(const char* p, size_t size)
{
    std::string hex;
    for (size_t i = 0; i < size; ++i) {
        char digits[8];
        std::snprintf(digits, sizeof(digits), "%s0x%02X", i ? " " : "", static_cast<unsigned char>(p[i]));
        hex += digits;
    }
    return hex;
}

// The first character of a line that code page 936 does not define: "第N个字节 0x..".
std::string FirstInvalidCharacter(const std::string& line)
{
    for (const char* p = line.c_str(); *p; p = gbk::Next(p)) {
        const size_t size = gbk::Next(p) - p;
        if (!Converts(kGbkCodePage, p, size))
            return "第" + std::to_string(p - line.c_str() + 1) + "个字节 " + Hex(p, size);
    }
    return "";
}

} // namespace

std::string EncodingProblem(const std::string& bytes)
{
    if (bytes.compare(0, 3, kUtf8Bom) == 0)
        return "是带字节顺序标记（BOM）的UTF-8文本，不是GBK文本。Windows不认这个标记，紧跟在它后面的第一节读不到，中文也会读错";
    if (IsUtf8Text(bytes))
        return "是UTF-8文本，不是GBK文本。插件按GBK读取，其中的中文会读错";
    std::string::size_type start = 0;
    for (int line = 1; start < bytes.size(); ++line) {
        std::string::size_type end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string invalid = FirstInvalidCharacter(bytes.substr(start, end - start));
        if (!invalid.empty())
            return "第" + std::to_string(line) + "行" + invalid + "不是GBK字符，这里的文字会读错";
        start = end + 1;
    }
    return "";
}

IniState CheckIniFile(const IniFileRole& role, CReport& report)
{
    const std::string path = settings::IniPath(role.fileName);
    auto fail = [&](const std::string& what, const std::string& then) {
        report.Add(role.level, role.level == Level::kProblem ? "错误" : "注意",
                   std::string(role.fileName) + "（" + path + "）" + what + "，" + then);
    };
    const std::string missing = std::string(role.consequence) + "。" + role.remedy;
    const Entry entry = EntryAt(path);
    if (entry == Entry::kNothing) {
        fail("不存在", missing);
        return IniState::kAbsent;
    }
    if (entry == Entry::kFolder) {
        fail("是文件夹，不是文件", missing);
        return IniState::kAbsent;
    }
    std::string bytes;
    DWORD error = 0;
    if (!ReadAll(path, &bytes, &error)) {
        fail("无法读取（" + SystemErrorText(error) + "）", std::string(role.consequence) + "。请关闭占用它的程序，检查它的权限");
        return IniState::kAbsent;
    }
    const std::string encoding = EncodingProblem(bytes);
    if (encoding.empty()) {
        report.Ok(std::string(role.fileName) + "：" + path);
        return IniState::kReadable;
    }
    fail(encoding, "请用记事本打开它，“另存为”时把编码选为“ANSI”");
    return IniState::kMisread;
}

} // namespace check
