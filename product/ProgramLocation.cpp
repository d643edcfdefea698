#include "product/ProgramLocation.h"

#include "platform/Platform.h"
#include "product/PathMacro.h"

namespace quillora {

void locateProgram(InstallDirectories& directories, const std::string& programPath,
                   Platform& platform) {
    std::string drive;
    std::string directory;
    platform.splitPath(platform.fullPath(programPath), drive, directory);
    std::string home = drive + directory;
    // A backslash is the separator everywhere; "/" too where the platform uses it.
    auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    while (!home.empty() && isSeparator(home.back())) {
        home.pop_back();
    }
    std::size_t last = home.find_last_of("\\/");
    home = last == std::string::npos ? std::string(".") : home.substr(0, last);
    directories.home = home;
    directories.local = home;
}

} // namespace quillora
