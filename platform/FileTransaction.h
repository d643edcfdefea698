// The platform a run reads its files through and the stage it saves them to:
// it holds back every file staged until the run commits them all together, or
// drops them. Everything but reading and staging files goes to the platform it
// wraps.
#pragma once

#include "platform/FileStage.h"
#include "platform/Platform.h"

#include <string>

namespace quillora {

class FileTransaction : public Platform, public FileStage {
public:
    explicit FileTransaction(Platform& inner) : inner_(inner) {}

    // Puts every file held back in place together; a failure says why, one
    // line for each thing that failed.
    virtual Status commit() = 0;
    // Drops every file held back; the targets keep their old content.
    virtual void discard() = 0;

    ResolvedPath resolve(const std::string& name) override { return inner_.resolve(name); }
    // Nothing is replaced at once here: a file goes through stage.
    Status replaceFileWith(const ResolvedPath& resolved, const NewContent&) final {
        return Status::failed("cannot replace " + resolved.text() +
                              " at once during the run: it is staged");
    }
    bool hasFile(const std::string& name) override { return inner_.hasFile(name); }
    Interrupts& interrupts() override { return inner_.interrupts(); }
    FileSystem& fileSystem() override { return inner_.fileSystem(); }
    std::string fullPath(const std::string& path) override { return inner_.fullPath(path); }
    void splitPath(const std::string& path, std::string& drive, std::string& dir) override {
        inner_.splitPath(path, drive, dir);
    }
    Installation& installation() override { return inner_.installation(); }

protected:
    Platform& inner_;
};

} // namespace quillora
