#include "platform/StagedFiles.h"

namespace quillora {

bool StagedFiles::readFile(const std::string& name, FileBytes& out, std::string& error) {
    if (!inner_.readFile(name, out, error)) {
        return false;
    }
    auto it = waiting_.find(out.resolvedPath);
    if (it == waiting_.end()) {
        return true;
    }
    FileBytes staged;
    if (!inner_.readFile(it->second.temporaryPath, staged, error)) {
        return false;
    }
    out.bytes = std::move(staged.bytes);
    return true;
}

bool StagedFiles::replaceFile(const std::string& resolvedPath, const std::string& bytes,
                              std::string& error) {
    auto it = waiting_.find(resolvedPath);
    // A second content for one target gets a file of its own, so that the first
    // stays whole should writing the second fail.
    unsigned generation = it == waiting_.end() ? 0 : it->second.generation + 1;
    std::string temporary = temporaryPathFor(resolvedPath, generation);
    if (!inner_.writeTemporary(temporary, resolvedPath, bytes, error)) {
        return false;
    }
    if (it == waiting_.end()) {
        waiting_.emplace(resolvedPath, Waiting{temporary, generation});
        order_.push_back(resolvedPath);
    } else {
        inner_.discardTemporary(it->second.temporaryPath);
        it->second = Waiting{temporary, generation};
    }
    return true;
}

bool StagedFiles::commit(std::vector<std::string>& errors) {
    for (const std::string& target : order_) {
        std::string error;
        if (!inner_.flushTemporary(waiting_.at(target).temporaryPath, error)) {
            errors.push_back(error + "; nothing was replaced");
            discard();
            return false;
        }
    }
    bool ok = true;
    for (const std::string& target : order_) {
        const Waiting& waiting = waiting_.at(target);
        std::string error;
        if (!inner_.commitTemporary(waiting.temporaryPath, target, error)) {
            inner_.discardTemporary(waiting.temporaryPath);
            errors.push_back(error);
            ok = false;
        }
    }
    waiting_.clear();
    order_.clear();
    return ok;
}

void StagedFiles::discard() {
    for (const std::string& target : order_) {
        inner_.discardTemporary(waiting_.at(target).temporaryPath);
    }
    waiting_.clear();
    order_.clear();
}

} // namespace quillora
