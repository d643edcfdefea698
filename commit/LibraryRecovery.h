// The first thing a run does to its library, under its lock: finish the
// commit of an earlier run that committed and did not end, or undo one that
// never committed, from the commit record that run left.
#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <vector>

namespace quillora {

// notes gets a line for each file acted on. False, with error saying why,
// when recovery cannot finish; it then touches nothing more, and the record
// stays for a run after the cause is mended.
bool recoverLibrary(FileSystem& disk, const std::string& recordPath,
                    std::vector<std::string>& notes, std::string& error);

} // namespace quillora
