// The transaction of a run that writes nothing (--dry-run): each new content
// is compared, piece by piece, with the file it would replace, and each
// replacement is checked as far as it can be without writing. The registry
// is opened without creating anything. A file the run would change is read
// back with its new content, so a later package that shares it sees what a
// real run would give it; that content is kept in memory.
#pragma once

#include "platform/FileTransaction.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillora {

// A file the run would write, in the order it was first written.
struct PreviewedFile {
    std::string target;
    bool changed = false; // new content differs from the file (or there is no file)
    std::string detail;   // what the caller said of it (describeNext)
};

class PreviewFiles : public FileTransaction {
public:
    // Given the old and the new content of each file that would change.
    using ChangeViewer = std::function<void(const std::string& target, const std::string& before,
                                            const std::string& after)>;

    // recordPath: where a real run would keep its commit record.
    PreviewFiles(Platform& inner, std::string recordPath, ChangeViewer viewer = nullptr);
    ~PreviewFiles() override;
    PreviewFiles(const PreviewFiles&) = delete;
    PreviewFiles& operator=(const PreviewFiles&) = delete;

    // Said of the next file written, in its PreviewedFile.
    void describeNext(std::string detail) { detail_ = std::move(detail); }
    const std::vector<PreviewedFile>& files() const { return files_; }

    // Fails where the commit of a real run would fail before its commit point.
    Status commit() override;
    void discard() override;

    Expected<FileBytes> readFile(const std::string& name) override;
    Status stage(const ResolvedPath& resolved, const NewContent& content) override;

    // Opens keys without creating one: a missing key is one without values.
    Installation& installation() override { return *installation_; }

private:
    // The new content, from the first byte that differs from old (before it,
    // both are the same); false when it cannot be produced.
    static bool newContentAgainst(const std::string& old, const NewContent& content, bool& changed,
                                  std::string& bytes);

    const std::string recordPath_;
    ChangeViewer viewer_;
    std::unique_ptr<Installation> installation_;
    std::string detail_;
    std::vector<PreviewedFile> files_;
    std::map<std::string, std::string> changedContent_; // by target
};

} // namespace quillora
