#include "platform/FileSystem.h"

namespace quillora {

CreateStatus createUnderNewName(FileSystem& disk, const std::string& prefix, std::size_t digits,
                                const NewContent& content, const std::string& replacing,
                                std::string& path, std::string& identity, std::string& error) {
    CreateStatus status = CreateStatus::Exists;
    for (int attempt = 0; attempt < 8 && status == CreateStatus::Exists; ++attempt) {
        path = prefix + disk.randomHex().substr(0, digits);
        status = disk.createFileWith(path, content, replacing, identity, error);
    }
    if (status == CreateStatus::Exists) {
        error = "cannot write " + replacing + ": every new name tried beside it was taken";
    }
    return status;
}

bool readWholeFile(std::size_t size, std::string& bytes,
                   const std::function<long long(char* at, std::size_t room)>& readSome) {
    std::string().swap(bytes);
    bytes.resize(size);
    std::size_t got = 0;
    char more[4096];
    while (true) {
        // Past the size the file had, it may have grown: read on into a small buffer.
        const bool full = got == bytes.size();
        const long long n = full ? readSome(more, sizeof more) : readSome(&bytes[got], size - got);
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        if (full) {
            bytes.append(more, static_cast<std::size_t>(n));
        }
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return true;
}

} // namespace quillora
