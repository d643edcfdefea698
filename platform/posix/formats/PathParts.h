// A Windows path taken apart and folded as the C runtime does it, for the
// hosts and fakes that have no C runtime of Windows to ask.
#pragma once

#include <string>

namespace quillora {

// Like _splitpath: an optional "x:" drive, then the folder up to and including
// the last separator ('\' or '/'); empty parts when there are none.
void splitPathParts(const std::string& path, std::string& drive, std::string& dir);

// Like _fullpath without looking at the file system: path (when it does not
// start with a separator) taken from current, with "." and ".." folded and
// '/' between the parts. Empty for an empty path.
std::string foldedFullPath(const std::string& path, const std::string& current);

} // namespace quillora
