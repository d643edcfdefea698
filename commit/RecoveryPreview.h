// What the recovery of an interrupted run (LibraryRecovery) would do, found
// without changing anything: for a run that only previews.
#pragma once

#include "platform/FileSystem.h"

#include <string>

namespace quillora {

// Empty when there is no commit record at recordPath; otherwise what a run
// that writes would do with it, or why it would stop.
std::string describeRecovery(FileSystem& disk, const std::string& recordPath);

} // namespace quillora
