// Where a file lies on this machine, as the platform found it from a name the
// product stores (which may be in Windows form). The two never mix: only the
// platform turns a stored name into a resolved path (Platform::resolve and
// Platform::readFile), and a file is only ever replaced at a resolved path.
#pragma once

#include <string>
#include <utility>

namespace quillora {

class ResolvedPath {
public:
    ResolvedPath() = default;
    // For the platform, which resolves; and for a path already in the host's
    // form (the registry store's).
    explicit ResolvedPath(std::string hostPath) : text_(std::move(hostPath)) {}

    const std::string& text() const { return text_; }
    bool empty() const { return text_.empty(); }
    bool operator==(const ResolvedPath& other) const { return text_ == other.text_; }
    bool operator!=(const ResolvedPath& other) const { return text_ != other.text_; }

private:
    std::string text_;
};

} // namespace quillora
