// Whole-file helpers of the POSIX stand-ins, on host paths (no name mapping).
#pragma once

#include <functional>
#include <string>

namespace quillora {

// The file operations a test can make fail. Flush starts a temporary file's
// writing out (or does it, where it cannot be left for later); Sync waits for
// it to be on the disk, before any file of the run is put in place (Rename).
enum class FileOperation { Read, Open, Write, Flush, Sync, Rename };
using FileFaultHook = std::function<int(FileOperation)>;

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
