// The nine functions the host calls, C linkage, exported undecorated through QRVLNK.def.
#pragma once
#include <windows.h>

extern "C" {
int Export();
int AutoExport();
int Import();
int AutoImport();
void Setup();
void GetInterfaceInfo(char* pszID, char* pszName, int* pnKind);
unsigned short QueryFunctions();
BOOL SetDataFilePath(const char* pszPath);
BOOL SetUserOrgID(const char* pszUserOrgID);
}
