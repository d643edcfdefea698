// The platform a run writes its files through: it holds back every
// replacement until the run commits them all together, or drops them.
// Everything but reading and replacing files goes to the platform it wraps.
#pragma once

#include "platform/Platform.h"

#include <string>

namespace quillora {

class FileTransaction : public Platform {
public:
    explicit FileTransaction(Platform& inner) : inner_(inner) {}

    // Puts every file held back in place together; a failure says why, one
    // line for each thing that failed.
    virtual Status commit() = 0;
    // Drops every file held back; the targets keep their old content.
    virtual void discard() = 0;

    ResolvedPath resolve(const std::string& name) override { return inner_.resolve(name); }
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
