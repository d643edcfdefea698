// The file operations a run's commit is built from, in the tool's own terms.
// A file is only ever made new: nothing here writes through an existing name or
// a link, so a name planted by someone else cannot redirect a write.
#pragma once

#include "status/Status.h"
#include "text/TextBuffer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

// What is at a path, looked at without following a link there.
enum class PathKind { Missing, File, Link, Folder, Other };

struct PathInfo {
    PathKind kind = PathKind::Missing;
    // Stays with a file across renames (device and file number); empty when
    // not a file.
    std::string identity;
    // How many names the file has; 0 when not a file.
    unsigned long links = 0;
};

// A file this large is refused before any of it is read.
constexpr std::uint64_t kLargestFile = std::uint64_t{1} << 31;

// A file's new content handed over piece by piece, so that a large file is
// never held whole: the content calls write with each piece in order, and
// returns false as soon as a write does.
using PieceWriter = std::function<bool(std::string_view piece)>;
using NewContent = std::function<bool(const PieceWriter& write)>;

// bytes as content of one piece.
inline NewContent wholeContent(const std::string& bytes) {
    return [&bytes](const PieceWriter& write) { return write(bytes); };
}

// A file kept open from the moment it was made: what is added to it goes
// where it was made, whatever is put at its name since.
class OpenFile {
public:
    virtual ~OpenFile() = default;
    // Adds bytes at its end.
    virtual Status append(const std::string& bytes) = 0;
    // Waits until its content is on the disk.
    virtual Status sync() = 0;
};

// Held while a run works on a library; the system drops it with the process.
class LibraryLock {
public:
    virtual ~LibraryLock() = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Makes path, which must not exist yet (a link there counts), holding
    // content, and starts its writing to the disk (syncFile waits for it). When
    // replacing names an existing file, the new one takes over its owner and
    // group (where this user may give them) and its permissions without the
    // setuid, setgid and sticky bits, and is never open to more users than it;
    // a read-only one refuses. A folder every user may rename in (no sticky
    // bit) refuses too: nothing made there stays this run's. Gives the new
    // file's identity. On failure nothing is left behind; NameTaken says the
    // name was taken.
    virtual Expected<std::string> createFileWith(const std::string& path, const NewContent& content,
                                                 const std::string& replacing) = 0;
    // Makes path, which must not exist yet, empty and open to only this user,
    // and keeps it open for appending; NameTaken when the name was taken.
    virtual Expected<std::unique_ptr<OpenFile>> createOpenFile(const std::string& path) = 0;
    // Waits until the file's content is on the disk.
    virtual Status syncFile(const std::string& path) = 0;
    // Waits until the entries of folder (created, renamed, removed) are on
    // the disk; folder is as folderOf gives it.
    virtual Status syncFolder(const std::string& folder) = 0;
    // Puts from in place of to in one step; both lie in one folder.
    virtual Status renameFile(const std::string& from, const std::string& to) = 0;
    // Removes the name path (a link itself, never what it points at).
    virtual Status removeFile(const std::string& path) = 0;
    virtual PathInfo examine(const std::string& path) = 0;
    // The identity of folder (as folderOf gives it), which stays with it
    // across renames; empty when there is no such folder. A run works in each
    // folder through the one it opened first, so the identity is that folder's.
    virtual Expected<std::string> folderIdentity(const std::string& folder) = 0;
    // The names in folder (as folderOf gives it), without "." and ".."; none
    // when the folder is not there.
    virtual Expected<std::vector<std::string>> listFolder(const std::string& folder) = 0;
    // Reads the whole file at path: a regular file, through a last link only
    // as the link rule lets, refused without waiting when it is anything else
    // and before it is read when it is too large.
    virtual Expected<TextBuffer> readWhole(const std::string& path) = 0;
    // Reads a file only this tool makes: a regular file, not a link, that no
    // other user could have written.
    virtual Expected<std::string> readOwnFile(const std::string& path) = 0;
    // Takes the library's lock at path, a file kept for nothing else. When
    // another run holds it, calls waiting once and waits for it without limit.
    // Fails when the lock cannot be taken (a link or another kind of file there).
    virtual Expected<std::unique_ptr<LibraryLock>>
    lockLibrary(const std::string& path, const std::function<void()>& waiting) = 0;
    // For a run that only reads: takes the lock at path shared with other such
    // runs when the file is there, and creates nothing; without the file, a
    // lock that holds nothing. Fails when a file there cannot be locked.
    virtual Expected<std::unique_ptr<LibraryLock>>
    shareLibraryLock(const std::string& path, const std::function<void()>& waiting) = 0;
    // Whether createFileWith could make a new file beside path that replaces
    // it: path, when there, is a file that is not read-only, and its folder
    // takes new files as far as can be told without making one. Writes nothing.
    virtual Status mayReplace(const std::string& path) = 0;
    // 16 hexadecimal digits from the system's source of randomness.
    virtual std::string randomHex() = 0;
    // The folder part of path with its last separator ("dir/"), or "" for a
    // bare name, so that folderOf(path) + name names a sibling of path.
    virtual std::string folderOf(const std::string& path) const = 0;
};

struct NewFile {
    std::string path;
    std::string identity;
};

// Makes a new file named prefix and `digits` random hexadecimal digits (at
// most 16), trying other names while each tried is taken: someone may be
// planting them. NameTaken when every name tried was taken.
Expected<NewFile> createUnderNewName(FileSystem& disk, const std::string& prefix,
                                     std::size_t digits, const NewContent& content,
                                     const std::string& replacing);

// Reads a whole file that held size bytes when it was opened into bytes, which
// take exactly its size (a large book data file is kept in memory while its
// package is updated; growing a buffer would take twice it). readSome reads
// at most room bytes to at and gives how many, 0 at the end, or -1 on failure
// (the system's last error says why).
bool readWholeFile(std::size_t size, TextBuffer& bytes,
                   const std::function<long long(char* at, std::size_t room)>& readSome);

} // namespace quillora
