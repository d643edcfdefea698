// The file operations the process asks of the system, as the system sees
// them: for code that makes its system calls itself, not through a FileSystem
// (the registry store's rewrite). The calls are taken over for the whole test
// program and logged only while a log is alive.
#pragma once

#include "support/FaultyFileSystem.h"

#include <vector>

namespace quillora::testing {

class SystemCallLog {
public:
    SystemCallLog();
    ~SystemCallLog();
    SystemCallLog(const SystemCallLog&) = delete;
    SystemCallLog& operator=(const SystemCallLog&) = delete;

    // In order: Open (a file created), Write (one for each run of writes to a
    // file created while logged), Flush (fdatasync), Sync (fsync of a file),
    // SyncFolder (fsync of a folder) and Rename.
    const std::vector<FileOperation>& operations() const { return operations_; }
    void clear() { operations_.clear(); }

private:
    std::vector<FileOperation> operations_;
};

} // namespace quillora::testing
