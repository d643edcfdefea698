#include "platform/Platform.h"

namespace quillora {

std::string temporaryPathFor(const std::string& target, unsigned generation) {
    std::string path = target + ".quillora-tmp";
    if (generation != 0) {
        path += std::to_string(generation);
    }
    return path;
}

bool Platform::replaceFile(const std::string& resolvedPath, const std::string& bytes,
                           std::string& error) {
    const std::string temporary = temporaryPathFor(resolvedPath);
    if (!writeTemporary(temporary, resolvedPath, bytes, error)) {
        return false;
    }
    if (!flushTemporary(temporary, error) || !commitTemporary(temporary, resolvedPath, error)) {
        discardTemporary(temporary);
        return false;
    }
    return true;
}

} // namespace quillora
