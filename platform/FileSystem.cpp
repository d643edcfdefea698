#include "platform/FileSystem.h"

namespace quillora {

Expected<NewFile> createUnderNewName(FileSystem& disk, const std::string& prefix,
                                     std::size_t digits, const NewContent& content,
                                     const std::string& replacing) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        NewFile made;
        made.path = prefix + disk.randomHex().substr(0, digits);
        Expected<std::string> identity = disk.createFileWith(made.path, content, replacing);
        if (identity) {
            made.identity = std::move(*identity);
            return made;
        }
        if (identity.status().failure() != Failure::NameTaken) {
            return identity.status();
        }
    }
    return Status::failed(Failure::NameTaken, "cannot write " + replacing +
                                                  ": every new name tried beside it was taken");
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
