#include "platform/posix/PathMapping.h"

#include "text/AsciiCase.h"
#include "platform/posix/formats/DriveTable.h"
#include "platform/posix/PosixPlatform.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace quillora {

namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The entry of folder whose name equals part without regard to case; empty
// when there is none.
std::string findNoCase(const std::string& folder, const std::string& part) {
    std::vector<std::string> matches;
    if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (equalNoCase(entry->d_name, part)) {
                matches.emplace_back(entry->d_name);
            }
        }
        ::closedir(dir);
    }
    return matches.empty() ? std::string() : *std::min_element(matches.begin(), matches.end());
}

} // namespace

std::string matchPathNoCase(const std::string& path) {
    if (path.empty() || exists(path)) {
        return path;
    }
    std::string result = path[0] == '/' ? "/" : "";
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t slash = path.find('/', start);
        std::size_t stop = slash == std::string::npos ? path.size() : slash;
        std::string part = path.substr(start, stop - start);
        start = stop + 1;
        if (part.empty()) {
            continue;
        }
        if (!result.empty() && result.back() != '/') {
            result += '/';
        }
        if (part != "." && part != ".." && !exists(result + part)) {
            std::string found = findNoCase(result, part);
            if (found.empty()) {
                return result + path.substr(stop - part.size());
            }
            part = found;
        }
        result += part;
    }
    return result;
}

std::string PosixPlatform::hostPath(const std::string& name) {
    // Only a name with a drive letter reads the store for the drive table.
    const bool drive = name.size() >= 2 && name[1] == ':';
    return matchPathNoCase((drive ? drives() : DriveTable()).hostForm(name));
}

} // namespace quillora
