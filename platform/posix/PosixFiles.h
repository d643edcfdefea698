// Whole-file helpers of the POSIX stand-ins, on host paths (no name mapping).
#pragma once

#include "status/Status.h"
#include "text/TextBuffer.h"

#include <cstddef>
#include <string>

namespace quillora {

// Reads the regular file at path.
Expected<std::string> readHostFile(const std::string& path);

// The open file fd read whole into bytes, which take exactly size bytes; a
// read cut short by a signal is made again.
bool readOpenFile(int fd, std::size_t size, TextBuffer& bytes);
bool readOpenFile(int fd, std::size_t size, std::string& bytes);

// The folder part of path ("." when there is none).
std::string directoryOf(const std::string& path);

} // namespace quillora
