#include "controls/DateCheck.h"

const char kErrorCaption[] = "错误信息";

namespace {
const char kDateFormatError[] = "错误的日期格式，标准日期格式如 2000-10-09 08:34:56";
}

bool CheckDate(HWND hOwner, const char* text, CDateTime* pResult)
{
    if (pResult->ParseDateOnly(text))
        return true;
    ::MessageBoxA(hOwner, kDateFormatError, kErrorCaption, MB_OK | MB_ICONEXCLAMATION);
    return false;
}
