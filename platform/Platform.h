// The one boundary between the tool and the operating system. Everything the
// tool needs from Windows (or from the POSIX stand-ins) goes through here, so a
// whole run can be driven in tests by a fake.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Installation.h"
#include "platform/Interrupts.h"
#include "platform/ResolvedPath.h"

#include <memory>
#include <ostream>
#include <string>

namespace quillora {

// A whole file as read from disk, with the path it was actually found at.
struct FileBytes {
    TextBuffer bytes;
    ResolvedPath resolvedPath;
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- paths (_fullpath, _splitpath)
    // Absolute form of path; empty on failure.
    virtual std::string fullPath(const std::string& path) = 0;
    // Drive ("c:" or empty) and directory (ending with a separator) of path.
    virtual void splitPath(const std::string& path, std::string& drive, std::string& dir) = 0;

    // The product's registry key, the drives and the resource library.
    virtual Installation& installation() = 0;

    // --- whole files. name is as stored by the product (Windows form allowed);
    // the platform finds the file and reports where.
    virtual Expected<FileBytes> readFile(const std::string& name) = 0;
    // Where the file a stored name names lies on this machine.
    virtual ResolvedPath resolve(const std::string& name) = 0;
    // Whether readFile would find a file under name; a host answers without
    // reading it.
    virtual bool hasFile(const std::string& name);
    // The operations a commit is built from.
    virtual FileSystem& fileSystem() = 0;
    // Replaces the file at resolvedPath with new content at once: either the
    // old or the new content survives, never a mix.
    virtual Status replaceFileWith(const ResolvedPath& resolvedPath, const NewContent& content);
    Status replaceFile(const ResolvedPath& resolvedPath, const std::string& bytes) {
        return replaceFileWith(resolvedPath, wholeContent(bytes));
    }

    // The interrupts sent to the run; by default none ever comes.
    virtual Interrupts& interrupts() { return noInterrupts(); }
};

// The platform the program itself runs on (POSIX stand-ins or real Win32).
std::unique_ptr<Platform> makeHostPlatform();

// Sets up the process for a run, once, before it starts: a run frees the large
// buffers of one package (its file's text, its entries' texts, its new content)
// and takes as much again for the next; where the host allows, that memory is
// kept for reuse.
void prepareHostProcess();

// Standard output for the run's messages. A flush hands everything written
// since to the system at once, so a flushed line costs one write.
std::unique_ptr<std::ostream> makeMessageOutput();

} // namespace quillora
