#include "platform/posix/PosixPlatform.h"

#include <filesystem>
#include <vector>

namespace quillora {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string currentDirectory() {
    std::error_code lost; // "" when the folder is gone
    return std::filesystem::current_path(lost).string();
}

} // namespace

// Like _fullpath: makes the path absolute and folds "." and ".." without
// looking at the file system.
std::string PosixPlatform::fullPath(const std::string& path) {
    if (path.empty()) {
        return std::string();
    }
    std::string absolute = isSeparator(path[0]) ? path : currentDirectory() + "/" + path;
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i <= absolute.size(); ++i) {
        if (i == absolute.size() || isSeparator(absolute[i])) {
            if (part == "..") {
                if (!parts.empty()) {
                    parts.pop_back();
                }
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part.push_back(absolute[i]);
        }
    }
    std::string result;
    for (const std::string& p : parts) {
        result += "/" + p;
    }
    return result.empty() ? "/" : result;
}

// Like _splitpath: an optional "x:" drive, then the directory up to and
// including the last separator.
void PosixPlatform::splitPath(const std::string& path, std::string& drive, std::string& dir) {
    std::size_t start = 0;
    drive.clear();
    if (path.size() >= 2 && path[1] == ':') {
        drive = path.substr(0, 2);
        start = 2;
    }
    std::size_t last = std::string::npos;
    for (std::size_t i = start; i < path.size(); ++i) {
        if (isSeparator(path[i])) {
            last = i;
        }
    }
    dir = last == std::string::npos ? std::string() : path.substr(start, last + 1 - start);
}

} // namespace quillora
