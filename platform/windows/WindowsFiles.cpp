#include "platform/HexText.h"
#include "platform/windows/WindowsError.h"
#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

#include <aclapi.h>
#include <bcrypt.h>
#include <sddl.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace quillora {

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// A file handle, closed on every way out; null when the open failed.
using FileHandle = std::unique_ptr<void, HandleCloser>;
FileHandle own(HANDLE handle) {
    return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// Largest piece handed to one ReadFile or WriteFile call.
constexpr std::size_t kChunk = 1u << 30;

bool writeAll(HANDLE file, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        auto piece = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// The attributes a replacement takes over from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// path with its last part spelt as the folder spells it. Names match without
// regard to case, but a rename gives the file the spelling it is handed, so a
// file written back under another spelling would be renamed. A short (8.3)
// name comes back long for the same reason. path itself when the lookup fails.
std::string spellingOnDisk(const std::string& path) {
    std::size_t start = path.find_last_of("\\/:");
    start = start == std::string::npos ? 0 : start + 1;
    // Wildcards would find some other file.
    if (start == path.size() || path.find_first_of("*?", start) != std::string::npos) {
        return path;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return path;
    }
    FindClose(search);
    std::string name = found.cFileName;
    // A name the ANSI code page cannot spell comes back with '?' in it.
    if (name.empty() || name.find('?') != std::string::npos ||
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return path;
    }
    return path.substr(0, start) + name;
}

Expected<TextBuffer> readFromHandle(HANDLE file, const std::string& name) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        return Status::failed(windowsErrorText("cannot examine", name, GetLastError()));
    }
    if (static_cast<std::uint64_t>(size.QuadPart) >= kLargestFile) {
        return Status::failed("the file is 2 GiB or larger, more than this tool reads");
    }
    TextBuffer bytes;
    bool read = false;
    try {
        read = readWholeFile(static_cast<std::size_t>(size.QuadPart), bytes,
                             [file](char* at, std::size_t room) -> long long {
                                 DWORD got = 0;
                                 const auto piece = static_cast<DWORD>(std::min(room, kChunk));
                                 return ReadFile(file, at, piece, &got, nullptr)
                                            ? static_cast<long long>(got)
                                            : -1LL;
                             });
    } catch (const std::bad_alloc&) {
        bytes = TextBuffer();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (!read) {
        return Status::failed(windowsErrorText("cannot read", name, GetLastError()));
    }
    return bytes;
}

std::string identityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return std::to_string(info.dwVolumeSerialNumber) + ":" +
           std::to_string((static_cast<unsigned long long>(info.nFileIndexHigh) << 32) |
                          info.nFileIndexLow);
}

// Opens the name itself: a link (reparse point) is opened, not followed.
HANDLE openNoFollow(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileA(
        path.c_str(), access, share, nullptr, disposition,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Whether file is a regular file, not a link or a folder; info is its information.
bool isPlainFile(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) {
    return GetFileInformationByHandle(file, &info) &&
           (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// Whether sid is the user this process runs as.
bool isRunningUser(PSID sid) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    FileHandle held = own(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    return size != 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
           EqualSid(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, sid);
}

// A reparse point is followed only when an administrator, SYSTEM or the
// running user owns it: anyone else could point it anywhere at any time.
bool mayFollow(HANDLE point) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(point, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const bool trusted = IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
                         IsWellKnownSid(owner, WinLocalSystemSid) || isRunningUser(owner);
    LocalFree(descriptor);
    return trusted;
}

// Opens the folder at path so that, while the handle is held, no one can
// rename or remove it (no FILE_SHARE_DELETE; reading its entries makes the
// sharing count). A reparse point there is opened itself when follow is false.
HANDLE openFolderHandle(const std::string& path, bool follow) {
    return CreateFileA(path.c_str(), FILE_LIST_DIRECTORY | READ_CONTROL,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
                       nullptr);
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Each folder on path, outermost first, without the root (which no one renames).
std::vector<std::string> foldersOnPath(const std::string& path) {
    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == ':') {
        start = path.size() > 2 && isSeparator(path[2]) ? 3 : 2;
    } else if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        // \\server\share: the share is the root
        start = path.find_first_of("\\/", 2);
        start = start == std::string::npos ? path.size() : path.find_first_of("\\/", start + 1);
        start = start == std::string::npos ? path.size() : start + 1;
    } else if (!path.empty() && isSeparator(path[0])) {
        start = 1;
    }
    std::vector<std::string> folders;
    for (std::size_t i = start; i <= path.size(); ++i) {
        if ((i == path.size() || isSeparator(path[i])) && i > start && !isSeparator(path[i - 1])) {
            folders.push_back(path.substr(0, i));
        }
    }
    return folders;
}

class WindowsOpenFile : public OpenFile {
public:
    WindowsOpenFile(const HostFileSystem& files, FileHandle file, std::string path)
        : files_(files), file_(std::move(file)), path_(std::move(path)) {}
    Status append(const std::string& bytes) override {
        return files_.attempt("cannot write", path_, [&] { return writeAll(file_.get(), bytes); });
    }
    Status sync() override {
        return files_.attempt("cannot flush", path_,
                              [&] { return FlushFileBuffers(file_.get()) != 0; });
    }

private:
    const HostFileSystem& files_;
    FileHandle file_;
    const std::string path_;
};

class WindowsLock : public LibraryLock {
public:
    explicit WindowsLock(FileHandle file) : file_(std::move(file)) {}

private:
    FileHandle file_; // closing it drops the lock
};

} // namespace

template <typename Call>
Status HostFileSystem::attempt(const char* what, const std::string& path, Call call) const {
    if (call()) {
        return Status();
    }
    const DWORD code = GetLastError();
    Status failed = Status::failed(windowsErrorText(what, path, code));
    SetLastError(code); // for the caller to tell failures apart
    return failed;
}

// Every folder on the path of a folder a run works in, held open.
class OpenFolder {
public:
    std::vector<FileHandle> held;
    std::string identity;
};

HostFileSystem::HostFileSystem() = default;
HostFileSystem::~HostFileSystem() = default;

const OpenFolder* HostFileSystem::openFolder(const std::string& folder, std::string& error) {
    auto it = folders_.find(folder);
    if (it != folders_.end()) {
        return it->second.get();
    }
    auto opened = std::make_unique<OpenFolder>();
    std::vector<std::string> path = foldersOnPath(folder);
    if (path.empty()) {
        path.push_back(folder.empty() ? "." : folder);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const auto failedAt = [&error](const std::string& part, DWORD code) {
        error = windowsErrorText("cannot open the folder", part, code);
        SetLastError(code); // for the caller to tell a folder that is gone
        return nullptr;
    };
    for (const std::string& part : path) {
        FileHandle handle = own(openFolderHandle(part, false));
        if (handle == nullptr || !GetFileInformationByHandle(handle.get(), &info)) {
            return failedAt(part, GetLastError());
        }
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            if (!mayFollow(handle.get())) {
                error = part + " is a link owned by another user: only links of an "
                               "administrator, SYSTEM or the user running the tool are followed";
                SetLastError(ERROR_ACCESS_DENIED);
                return nullptr;
            }
            handle = own(openFolderHandle(part, true));
            if (handle == nullptr || !GetFileInformationByHandle(handle.get(), &info)) {
                return failedAt(part, GetLastError());
            }
        }
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            return failedAt(part, ERROR_DIRECTORY);
        }
        opened->held.push_back(std::move(handle));
    }
    opened->identity = identityOf(info);
    return folders_.emplace(folder, std::move(opened)).first->second.get();
}

namespace {

// Holds the folder of path for the run; fails, saying why, when it cannot be.
Status holdFolderOf(HostFileSystem& files, const std::string& path) {
    std::string error;
    if (files.openFolder(files.folderOf(path), error) != nullptr) {
        return Status();
    }
    const DWORD code = GetLastError();
    Status failed = Status::failed(error);
    SetLastError(code); // for the caller to tell a folder that is gone
    return failed;
}

bool isGone(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// Why a new file could not be made at path, the system's last error said;
// NameTaken when something is there.
Status madeNothing(const std::string& path) {
    const DWORD code = GetLastError();
    return Status::failed(code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS
                              ? Failure::NameTaken
                              : Failure::Failed,
                          windowsErrorText("cannot create", path, code));
}

} // namespace

ResolvedPath WindowsPlatform::resolve(const std::string& name) {
    return ResolvedPath(spellingOnDisk(name));
}

Expected<FileBytes> WindowsPlatform::readFile(const std::string& name) {
    Expected<TextBuffer> bytes = fileSystem().readWhole(name);
    if (!bytes) {
        return bytes.status();
    }
    return FileBytes{std::move(*bytes), resolve(name)};
}

// Binary: the core handles CR LF itself.
Expected<TextBuffer> HostFileSystem::readWhole(const std::string& path) {
    Status opened = holdFolderOf(*this, path);
    FileHandle file;
    opened = opened ? attempt("cannot open", path,
                              [&] {
                                  file = own(CreateFileA(path.c_str(), GENERIC_READ,
                                                         FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                         FILE_ATTRIBUTE_NORMAL, nullptr));
                                  return file != nullptr;
                              })
                    : opened;
    if (!opened) {
        return opened;
    }
    return readFromHandle(file.get(), path);
}

bool WindowsPlatform::hasFile(const std::string& name) {
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

Expected<std::string> HostFileSystem::createFileWith(const std::string& path,
                                                     const NewContent& content,
                                                     const std::string& replacing) {
    Status held = holdFolderOf(*this, path);
    if (!held) {
        return held;
    }
    DWORD attributes =
        replacing.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(replacing.c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A read-only file is not ours to replace; MoveFileExA alone would (under
    // Wine as root, for one).
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return Status::failed(windowsErrorText("cannot write", replacing, ERROR_ACCESS_DENIED));
    }
    // The rename does not carry the old file's attributes over: give them to
    // the new file from the start.
    DWORD kept = exists ? attributes & kKeptAttributes : 0;
    // Only a new file: CREATE_NEW fails on any name that is there, a link too.
    HANDLE made = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made == INVALID_HANDLE_VALUE) {
        return madeNothing(path);
    }
    FileHandle file = own(made);
    BY_HANDLE_FILE_INFORMATION info{};
    Status done;
    if (!isPlainFile(file.get(), info)) {
        done = Status::failed(windowsErrorText("cannot examine", path, GetLastError()));
    }
    done = done ? attempt("cannot write", path,
                          [&] {
                              return content([&file](std::string_view piece) {
                                  return writeAll(file.get(), piece);
                              });
                          })
                : done;
    done = done ? attempt("cannot flush", path, [&] { return FlushFileBuffers(file.get()) != 0; })
                : done;
    if (CloseHandle(file.release()) == 0 && done) {
        done = Status::failed(windowsErrorText("cannot close", path, GetLastError()));
    }
    if (!done) {
        DeleteFileA(path.c_str());
        return done;
    }
    return identityOf(info);
}

Expected<std::unique_ptr<OpenFile>> HostFileSystem::createOpenFile(const std::string& path) {
    Status held = holdFolderOf(*this, path);
    if (!held) {
        return held;
    }
    HANDLE made = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made == INVALID_HANDLE_VALUE) {
        return madeNothing(path);
    }
    return std::unique_ptr<OpenFile>(std::make_unique<WindowsOpenFile>(*this, own(made), path));
}

Status HostFileSystem::syncFile(const std::string& path) {
    Status held = holdFolderOf(*this, path);
    if (!held) {
        return held;
    }
    FileHandle file;
    return attempt("cannot flush", path, [&] {
        file = own(
            openNoFollow(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
        return file != nullptr && FlushFileBuffers(file.get()) != 0;
    });
}

// A rename is written through (MOVEFILE_WRITE_THROUGH): there is no folder to
// flush on its own.
Status HostFileSystem::syncFolder(const std::string& folder) {
    std::string error;
    return openFolder(folder, error) != nullptr ? Status() : Status::failed(error);
}

Status HostFileSystem::renameFile(const std::string& from, const std::string& to) {
    Status held = holdFolderOf(*this, from);
    if (!held) {
        return held;
    }
    return attempt("cannot replace", to, [&] {
        return MoveFileExA(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
}

Status HostFileSystem::removeFile(const std::string& path) {
    Status held = holdFolderOf(*this, path);
    if (!held) {
        return isGone(GetLastError()) ? Status() : held; // nothing there to remove
    }
    return attempt("cannot remove", path, [&] {
        return DeleteFileA(path.c_str()) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND;
    });
}

PathInfo HostFileSystem::examine(const std::string& path) {
    PathInfo result;
    if (!holdFolderOf(*this, path)) {
        result.kind = isGone(GetLastError()) ? PathKind::Missing : PathKind::Other;
        return result;
    }
    FileHandle file = own(openNoFollow(
        path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING));
    if (file == nullptr) {
        DWORD code = GetLastError();
        result.kind = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                          ? PathKind::Missing
                          : PathKind::Other;
        return result;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) {
        result.kind = PathKind::Other;
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        result.kind = PathKind::Link;
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        result.kind = PathKind::Folder;
    } else {
        result.kind = PathKind::File;
        result.identity = identityOf(info);
        result.links = info.nNumberOfLinks;
    }
    return result;
}

Expected<std::string> HostFileSystem::folderIdentity(const std::string& folder) {
    std::string error;
    const OpenFolder* open = openFolder(folder, error);
    if (open == nullptr) {
        return isGone(GetLastError()) ? Expected<std::string>(std::string())
                                      : Status::failed(error);
    }
    return open->identity;
}

Expected<std::vector<std::string>> HostFileSystem::listFolder(const std::string& folder) {
    std::vector<std::string> names;
    std::string error;
    if (!openFolder(folder, error)) {
        // A folder that is gone holds nothing.
        return isGone(GetLastError()) ? Expected<std::vector<std::string>>(names)
                                      : Status::failed(error);
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        // An empty folder, or one that is gone: nothing to clean up.
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            return names;
        }
        return Status::failed(windowsErrorText("cannot list", folder.empty() ? "." : folder, code));
    }
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

Expected<std::string> HostFileSystem::readOwnFile(const std::string& path) {
    Status held = holdFolderOf(*this, path);
    if (!held) {
        return held;
    }
    FileHandle file = own(openNoFollow(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    if (file == nullptr) {
        return Status::failed(windowsErrorText("cannot open", path, GetLastError()));
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!isPlainFile(file.get(), info)) {
        return Status::failed(path + " is not a file this tool made: a link or a folder");
    }
    Expected<TextBuffer> bytes = readFromHandle(file.get(), path);
    if (!bytes) {
        return bytes.status();
    }
    return std::string(bytes->view());
}

namespace {

// Opens the lock file at path (OPEN_ALWAYS creates it) and takes its lock,
// exclusive or shared (flags 0), waiting for it without limit.
Expected<std::unique_ptr<LibraryLock>> lockAt(const std::string& path, DWORD disposition,
                                              DWORD flags, const std::function<void()>& waiting) {
    // Never written into, so opened for reading only; never through a link.
    // Made for its owner, the administrators and the system alone: whoever can
    // open it can hold the lock and keep every run waiting.
    PSECURITY_DESCRIPTOR ownersOnly = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;FA;;;OW)(A;;FA;;;BA)(A;;FA;;;SY)",
                                                         SDDL_REVISION_1, &ownersOnly, nullptr);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, ownersOnly, FALSE};
    FileHandle file = own(CreateFileA(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
        ownersOnly != nullptr ? &attributes : nullptr, disposition,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
        nullptr));
    const DWORD code = file != nullptr ? ERROR_SUCCESS : GetLastError();
    LocalFree(ownersOnly);
    if (file == nullptr) {
        if (disposition == OPEN_EXISTING &&
            (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)) {
            // No run has locked it: nothing to share.
            return std::make_unique<LibraryLock>();
        }
        return Status::failed(windowsErrorText("cannot open the lock file", path, code));
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!isPlainFile(file.get(), info) || info.nNumberOfLinks != 1) {
        bool link = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        return Status::failed(link ? path + " is a link: the library's lock file must be a file"
                                   : path + " is not a lock file this tool made (not a file, or "
                                            "a file with other names)");
    }
    // One another user owns (not an administrator or the system) is refused.
    // A volume that keeps no owners (FAT) tells none, and is not refused.
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR described = nullptr;
    if (GetSecurityInfo(file.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                        nullptr, nullptr, &described) == ERROR_SUCCESS &&
        owner != nullptr) {
        bool trusted = IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
                       IsWellKnownSid(owner, WinLocalSystemSid);
        HANDLE token = nullptr;
        if (!trusted && OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
            alignas(TOKEN_USER) unsigned char buffer[256];
            DWORD size = 0;
            trusted = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
                      EqualSid(owner, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
            CloseHandle(token);
        }
        LocalFree(described);
        if (!trusted) {
            return Status::failed(path + " belongs to another user, who could hold it to keep " +
                                  "every run waiting; remove it and run again");
        }
    }
    OVERLAPPED whole{};
    bool locked = LockFileEx(file.get(), flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole) != 0;
    if (!locked && GetLastError() == ERROR_LOCK_VIOLATION) {
        waiting();
        OVERLAPPED again{};
        locked = LockFileEx(file.get(), flags, 0, 1, 0, &again) != 0;
    }
    if (!locked) {
        return Status::failed(windowsErrorText("cannot lock", path, GetLastError()));
    }
    return std::unique_ptr<LibraryLock>(std::make_unique<WindowsLock>(std::move(file)));
}

} // namespace

Expected<std::unique_ptr<LibraryLock>>
HostFileSystem::lockLibrary(const std::string& path, const std::function<void()>& waiting) {
    return lockAt(path, OPEN_ALWAYS, LOCKFILE_EXCLUSIVE_LOCK, waiting);
}

Expected<std::unique_ptr<LibraryLock>>
HostFileSystem::shareLibraryLock(const std::string& path, const std::function<void()>& waiting) {
    return lockAt(path, OPEN_EXISTING, 0, waiting);
}

Status HostFileSystem::mayReplace(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    // What createFileWith refuses; a folder's rights show only when a file is made.
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return Status::failed(windowsErrorText("cannot write", path, ERROR_ACCESS_DENIED));
    }
    return Status();
}

std::string HostFileSystem::randomHex() {
    unsigned char bytes[8] = {};
    BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    return hexText(bytes, sizeof bytes);
}

std::string HostFileSystem::folderOf(const std::string& path) const {
    std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

} // namespace quillora
