// Linux commands started from the Windows side, for what the Win32 functions cannot do under Wine: links
// that stand for junctions, a second drive letter (a link in the prefix's dosdevices folder), removing a
// tree that holds links.
#pragma once
#include <windows.h>
#include <string>

namespace hostile {

// The Linux path of a Windows path (kernel32's wine_get_unix_file_name); "" when there is none.
std::string UnixPath(const std::wstring& path);
// The prefix's folder of drive letters.
std::string DosDevices();
// path quoted for sh.
std::string ShellQuote(const std::string& path);
// Runs script with /bin/sh and waits up to timeoutMs for it to end; false when it did not. (Wine gives no
// handle that waits for a Linux process, so the script touches a marker file last.) Its standard handles
// are this program's.
bool RunShell(const std::string& script, DWORD timeoutMs = 30000);

} // namespace hostile
