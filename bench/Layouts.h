// The layouts of the two transfers, laid out afresh before every pass, and the plain loops that make
// an engine's calls without its care.
#pragma once
#include "Bench.h"

namespace bench {

// The files a transfer starts from: how many, and how they are made in an empty folder.
struct Fill {
    int count;
    std::function<void(const std::string& folder)> make;
};

// Copies source to folder\name with CopyFileA; bDurable adds the steps that make a copy durable,
// without the engines' other care: the copy goes to a temporary name in folder, is flushed, moved over
// the target with write-through, and the folder is flushed. True when the copy is in place.
bool Copy(const std::string& source, const std::string& folder, const std::string& name, bool bDurable);

// n files of 64 bytes, f00000_C1_data.txt and on.
Fill SmallFiles(int n);
// n files of size bytes, made once in master; a folder gets hard links to them, the same files
// without writing them again.
Fill LargeFiles(const std::string& master, int n, size_t size);

// Before each pass: the send folder filled, the data-file location empty (the platform folder is made
// by the run), OrgMap.ini mapping C1 to P1; the profile points at them and sources are deleted once
// copied. The files of a pass come back, under the same names, from where the last pass put them (a
// folder renamed); they are made anew when that pass left any behind.
class ExportLayout {
public:
    ExportLayout(const Workspace& ws, Fill fill);
    void Prepare() const;
    // List the send folder, then for each file: make the platform folder, copy it (see Copy), check
    // that the source is unchanged, delete it.
    void PlainLoop(bool bDurable) const;

private:
    std::string m_staging;
    std::string m_send;
    std::string m_store;
    std::string m_target;
    Fill m_fill;
};

// Before each pass: the delivery folder of organisation ORG1 filled, no Backup folder, an empty receive
// folder; the profile points at them. The files come back from the Backup folder of the last pass as
// in the export.
class ImportLayout {
public:
    ImportLayout(const Workspace& ws, Fill fill);
    void Prepare() const;
    // Make the Backup folder, list the delivery folder, then for each file: copy it (see Copy), check
    // that the source is unchanged, MoveFileA into Backup.
    void PlainLoop(bool bDurable) const;

private:
    std::string m_staging;
    std::string m_store;
    std::string m_delivery;
    std::string m_backup;
    std::string m_receive;
    Fill m_fill;
};

} // namespace bench
