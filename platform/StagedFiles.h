// Holds back every file replacement of a run until the run has written all
// its files, so that the catalogue and the book data files it refers to change
// together: a run that cannot write the catalogue changes nothing at all.
#pragma once

#include "platform/Platform.h"

#include <map>
#include <string>
#include <vector>

namespace quillora {

class StagedFiles : public Platform {
public:
    explicit StagedFiles(Platform& inner) : inner_(inner) {}
    // Whatever was not committed is discarded.
    ~StagedFiles() override { discard(); }
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    // Puts every waiting file in place, in the order they were written, once
    // all of them are on the disk: a file that cannot be flushed changes
    // nothing at all. Each failure is added to errors; false when there was one.
    bool commit(std::vector<std::string>& errors);
    // Removes every waiting file; the targets keep their old content.
    void discard();
    std::size_t waitingCount() const { return order_.size(); }

    // A file waiting to replace its target is read in the target's place.
    bool readFile(const std::string& name, FileBytes& out, std::string& error) override;
    // Writes the new content beside the target, flushed, and keeps it waiting.
    bool replaceFile(const std::string& resolvedPath, const std::string& bytes,
                     std::string& error) override;

    // Everything else goes straight to the platform.
    unsigned driveType(const std::string& root) override { return inner_.driveType(root); }
    std::string fullPath(const std::string& path) override { return inner_.fullPath(path); }
    void splitPath(const std::string& path, std::string& drive, std::string& dir) override {
        inner_.splitPath(path, drive, dir);
    }
    long regOpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                      std::uint32_t samDesired, RegKey* result) override {
        return inner_.regOpenKeyEx(root, subKey, options, samDesired, result);
    }
    long regCreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                        const char* keyClass, std::uint32_t options, std::uint32_t samDesired,
                        RegKey* result, std::uint32_t* disposition) override {
        return inner_.regCreateKeyEx(root, subKey, reserved, keyClass, options, samDesired, result,
                                     disposition);
    }
    long regQueryValueEx(RegKey key, const char* valueName, std::uint32_t* type,
                         unsigned char* data, std::uint32_t* size) override {
        return inner_.regQueryValueEx(key, valueName, type, data, size);
    }
    long regCloseKey(RegKey key) override { return inner_.regCloseKey(key); }
    std::string registryNote() const override { return inner_.registryNote(); }
    std::unique_ptr<ResourceLibrary> openResourceLibrary(const std::string& name,
                                                         std::string& error) override {
        return inner_.openResourceLibrary(name, error);
    }
    bool writeTemporary(const std::string& temporaryPath, const std::string& resolvedPath,
                        const std::string& bytes, std::string& error) override {
        return inner_.writeTemporary(temporaryPath, resolvedPath, bytes, error);
    }
    bool commitTemporary(const std::string& temporaryPath, const std::string& resolvedPath,
                         std::string& error) override {
        return inner_.commitTemporary(temporaryPath, resolvedPath, error);
    }
    bool flushTemporary(const std::string& temporaryPath, std::string& error) override {
        return inner_.flushTemporary(temporaryPath, error);
    }
    void discardTemporary(const std::string& temporaryPath) override {
        inner_.discardTemporary(temporaryPath);
    }

private:
    struct Waiting {
        std::string temporaryPath;
        unsigned generation = 0;
    };

    Platform& inner_;
    std::map<std::string, Waiting> waiting_; // by target
    std::vector<std::string> order_;         // targets, first written first
};

} // namespace quillora
