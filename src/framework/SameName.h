// Whether two names are one name for the file system. Windows file systems compare names without regard
// to case the one way: both in capitals by the system's table (full-width and Greek letters too, never a
// byte of a double-byte character on its own), then code unit by code unit. A locale's sorting compare
// (lstrcmpi, CompareString) is not that: it passes over some characters and equates others.
#pragma once
#include "framework/WideText.h"

// name in the form names are compared in: in capitals.
WideText NameKey(WideText name);

// True when a and b are one name but for case; narrow names are GBK.
bool IsSameName(const WideText& a, const WideText& b);
bool IsSameName(const std::string& a, const std::string& b);
