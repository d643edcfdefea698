// The first thing a run does to its library, under its lock: finish the
// commit of an earlier run that committed and did not end, or undo one that
// never committed, from the commit record that run left.
#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <vector>

namespace quillora {

// What recovery did: a line for each file acted on, and whether it finished.
// When it cannot finish it touches nothing more, and the record stays for a
// run after the cause is mended.
struct Recovery {
    std::vector<std::string> notes;
    Status status;
};

Recovery recoverLibrary(FileSystem& disk, const std::string& recordPath);

} // namespace quillora
