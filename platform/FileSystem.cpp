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

} // namespace quillora
