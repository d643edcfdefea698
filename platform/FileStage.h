// Where the run's saves put a file's new content: held back until the run
// commits (StagedFiles), or compared with the file and dropped (PreviewFiles).
// A save neither knows nor needs to know which.
#pragma once

#include "platform/FileSystem.h"
#include "platform/ResolvedPath.h"
#include "status/Status.h"

#include <string>

namespace quillora {

class FileStage {
public:
    virtual ~FileStage() = default;

    // Where the file a stored name names lies on this machine.
    virtual ResolvedPath resolve(const std::string& name) = 0;
    // Takes content as the new content of target.
    virtual Status stage(const ResolvedPath& target, const NewContent& content) = 0;
};

} // namespace quillora
