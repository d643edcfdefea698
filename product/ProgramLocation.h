#pragma once

#include <string>

namespace quillora {

class LibraryCatalog;
class Platform;

// Sets the home and local directories to the parent of the program's directory
// ("." for a program in a root directory).
void locateProgram(LibraryCatalog& catalog, const std::string& programPath, Platform& platform);

} // namespace quillora
