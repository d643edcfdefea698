#include "platform/windows/WindowsError.h"
#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

#include <algorithm>

namespace quillora {

namespace {

// Closes a file handle on every way out.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        bool ok = true;
        if (valid()) {
            ok = CloseHandle(handle_) != 0;
            handle_ = INVALID_HANDLE_VALUE;
        }
        return ok;
    }

private:
    HANDLE handle_;
};

// Largest piece handed to one ReadFile or WriteFile call.
constexpr std::size_t kChunk = 1u << 30;

bool writeAll(HANDLE file, const std::string& bytes) {
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

} // namespace

// Binary: the core handles CR LF itself.
bool WindowsPlatform::readFile(const std::string& name, FileBytes& out, std::string& error) {
    FileHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        error = windowsErrorText("cannot open", name, GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        error = windowsErrorText("cannot examine", name, GetLastError());
        return false;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t got = 0;
    while (true) {
        if (got == bytes.size()) {
            bytes.resize(bytes.size() + 65536); // the file may have grown
        }
        auto piece = static_cast<DWORD>(std::min(bytes.size() - got, kChunk));
        DWORD read = 0;
        if (!ReadFile(file.get(), &bytes[got], piece, &read, nullptr)) {
            error = windowsErrorText("cannot read", name, GetLastError());
            return false;
        }
        if (read == 0) {
            break;
        }
        got += read;
    }
    bytes.resize(got);
    out.bytes = std::move(bytes);
    out.resolvedPath = spellingOnDisk(name);
    return true;
}

bool WindowsPlatform::writeTemporary(const std::string& temporaryPath,
                                     const std::string& resolvedPath, const std::string& bytes,
                                     std::string& error) {
    DWORD attributes = GetFileAttributesA(resolvedPath.c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A read-only file is not ours to replace; MoveFileExA alone would (under
    // Wine as root, for one).
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        error = windowsErrorText("cannot write", resolvedPath, ERROR_ACCESS_DENIED);
        return false;
    }
    // ReplaceFileA keeps the attributes on Windows but not under Wine, and the
    // fallback never does: give them to the new file from the start.
    DWORD kept = exists ? attributes & kKeptAttributes : 0;
    FileHandle file(CreateFileA(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        error = windowsErrorText("cannot create", temporaryPath, GetLastError());
        return false;
    }
    bool ok = writeAll(file.get(), bytes);
    if (!ok) {
        error = windowsErrorText("cannot write", temporaryPath, GetLastError());
    }
    if (ok && !FlushFileBuffers(file.get())) {
        ok = false;
        error = windowsErrorText("cannot flush", temporaryPath, GetLastError());
    }
    if (!file.close() && ok) {
        ok = false;
        error = windowsErrorText("cannot close", temporaryPath, GetLastError());
    }
    if (!ok) {
        DeleteFileA(temporaryPath.c_str());
    }
    return ok;
}

bool WindowsPlatform::commitTemporary(const std::string& temporaryPath,
                                      const std::string& resolvedPath, std::string& error) {
    // Wine's ReplaceFileA rejects relative names.
    std::string target = fullPath(resolvedPath);
    if (target.empty()) {
        target = resolvedPath;
    }
    std::string temporary = fullPath(temporaryPath);
    if (temporary.empty()) {
        temporary = temporaryPath;
    }
    bool exists = GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    // ReplaceFileA fails when there is no old file, and may leave the old file
    // gone with the new one still at its temporary name: the move finishes the
    // job in both cases.
    bool swapped = exists && ReplaceFileA(target.c_str(), temporary.c_str(), nullptr,
                                          REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    if (!swapped && !MoveFileExA(temporary.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = windowsErrorText("cannot replace", resolvedPath, GetLastError());
        return false;
    }
    return true;
}

void WindowsPlatform::discardTemporary(const std::string& temporaryPath) {
    DeleteFileA(temporaryPath.c_str());
}

} // namespace quillora
