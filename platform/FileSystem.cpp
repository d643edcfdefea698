#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>

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

bool readWholeFile(std::size_t size, TextBuffer& bytes,
                   const std::function<long long(char* at, std::size_t room)>& readSome) {
    bytes = TextBuffer(); // the old bytes go before the new are taken
    bytes = TextBuffer::withRoom(size);
    std::size_t got = 0;
    char more[4096];
    while (true) {
        if (got < bytes.size()) {
            const long long n = readSome(bytes.data() + got, bytes.size() - got);
            if (n < 0) {
                return false;
            }
            if (n == 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
            continue;
        }
        // Past the size the file had, it may have grown: read on into a small
        // buffer, and only when there is more, make room for twice as much.
        const long long n = readSome(more, sizeof more);
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        const auto added = static_cast<std::size_t>(n);
        bytes.moveTo(std::max(got * 2, got + added), got);
        std::memcpy(bytes.data() + got, more, added);
        got += added;
    }
    bytes.cut(got);
    return true;
}

} // namespace quillora
