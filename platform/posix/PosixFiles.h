// Whole-file helpers of the POSIX stand-ins, on host paths (no name mapping).
#pragma once

#include <string>

namespace quillora {

// Reads the regular file at path. 0, or the errno value of the failure with
// error saying what failed.
int readHostFile(const std::string& path, std::string& bytes, std::string& error);

// Whether a replacement of path would be let through: a file that exists must
// be writable by its permission bits (even for root, like the read-only
// attribute on Windows), and its folder must take the temporary file.
bool canReplaceFile(const std::string& path, std::string& why);

// The folder part of path ("." when there is none).
std::string directoryOf(const std::string& path);

} // namespace quillora
