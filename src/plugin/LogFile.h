// The plug-in's log file, "08888978.log" in the current directory at load. It is opened for appending
// when the static object is built and flushed and closed when it is destroyed; nothing writes to it.
#pragma once
#include <cstdio>

class CLogFile {
public:
    CLogFile();
    virtual ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

private:
    FILE* m_pFile;
};
