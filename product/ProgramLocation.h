#pragma once

#include <string>

namespace quillora {

class Platform;
struct InstallDirectories;

// Sets the home and local directories to the parent of the program's directory
// ("." for a program in a root directory).
void locateProgram(InstallDirectories& directories, const std::string& programPath,
                   Platform& platform);

} // namespace quillora
