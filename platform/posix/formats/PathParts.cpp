#include "platform/posix/formats/PathParts.h"

#include <vector>

namespace quillora {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

} // namespace

void splitPathParts(const std::string& path, std::string& drive, std::string& dir) {
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

std::string foldedFullPath(const std::string& path, const std::string& current) {
    if (path.empty()) {
        return std::string();
    }
    std::string absolute = isSeparator(path[0]) ? path : current + "/" + path;
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

} // namespace quillora
