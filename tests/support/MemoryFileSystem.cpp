#include "support/MemoryFileSystem.h"

#include "platform/HexText.h"

#include <algorithm>
#include <random>

namespace quillora::testing {

namespace {

const char* const kPowerCut = "the power is gone";

} // namespace

Status MemoryFileSystem::change() {
    if (!disk_.valid) {
        // Whatever the test put there before is on the disk.
        for (const auto& [path, bytes] : files_) {
            std::uint64_t inode = inodeOf(path);
            disk_.inodes[inode].durable = bytes;
            disk_.durableNames[path] = inode;
        }
        disk_.valid = true;
    }
    if (frozen_.valid) {
        return Status::failed(kPowerCut);
    }
    if (++changes_ == cutAt_) {
        frozen_ = disk_;
        return Status::failed(kPowerCut);
    }
    return Status();
}

std::uint64_t MemoryFileSystem::inodeOf(const std::string& path) {
    auto it = names_.find(path);
    if (it != names_.end()) {
        return it->second;
    }
    std::uint64_t inode = nextInode_++;
    names_[path] = inode;
    disk_.inodes[inode].data = files_.count(path) != 0 ? files_.at(path) : std::string();
    return inode;
}

void MemoryFileSystem::recordFolderChange(Kind kind, const std::string& path, const std::string& to,
                                          std::uint64_t inode) {
    disk_.pending.push_back({kind, folderOf(path), path, to, inode});
}

Expected<std::string> MemoryFileSystem::createFileWith(const std::string& path,
                                                       const NewContent& content,
                                                       const std::string& replacing) {
    Status changed = change();
    if (!changed) {
        return changed;
    }
    if (!replacing.empty() && readOnly_.count(replacing) != 0) {
        return Status::failed("read-only: " + replacing);
    }
    if (files_.count(path) != 0) {
        return Status::failed(Failure::NameTaken, "exists: " + path);
    }
    std::string bytes;
    content([&bytes](std::string_view piece) {
        bytes.append(piece);
        return true;
    });
    names_.erase(path);
    files_[path] = bytes;
    std::uint64_t inode = inodeOf(path);
    disk_.inodes[inode].data = bytes;
    recordFolderChange(Kind::Create, path, std::string(), inode);
    return "inode " + std::to_string(inode);
}

namespace {

class MemoryOpenFile : public OpenFile {
public:
    MemoryOpenFile(MemoryFileSystem& disk, std::string path)
        : disk_(disk), path_(std::move(path)) {}
    Status append(const std::string& bytes) override { return disk_.appendFile(path_, bytes); }
    Status sync() override { return disk_.syncFile(path_); }

private:
    MemoryFileSystem& disk_;
    const std::string path_;
};

} // namespace

Expected<std::unique_ptr<OpenFile>> MemoryFileSystem::createOpenFile(const std::string& path) {
    const std::string empty;
    Expected<std::string> made = createFileWith(path, wholeContent(empty), std::string());
    if (!made) {
        return made.status();
    }
    return std::unique_ptr<OpenFile>(std::make_unique<MemoryOpenFile>(*this, path));
}

Status MemoryFileSystem::appendFile(const std::string& path, const std::string& bytes) {
    Status changed = change();
    if (!changed) {
        return changed;
    }
    auto it = files_.find(path);
    if (it == files_.end()) {
        return Status::failed("no such file: " + path);
    }
    it->second += bytes;
    disk_.inodes[inodeOf(path)].data += bytes;
    return Status();
}

Status MemoryFileSystem::syncFile(const std::string& path) {
    Status changed = change();
    if (!changed) {
        return changed;
    }
    if (files_.count(path) == 0) {
        return Status::failed("no such file: " + path);
    }
    Inode& inode = disk_.inodes[inodeOf(path)];
    inode.durable = inode.data;
    return Status();
}

Status MemoryFileSystem::syncFolder(const std::string& folder) {
    Status changed = change();
    if (!changed) {
        return changed;
    }
    std::vector<FolderChange> left;
    for (const FolderChange& c : disk_.pending) {
        if (c.folder != folder) {
            left.push_back(c);
        } else if (c.kind == Kind::Create) {
            disk_.durableNames[c.path] = c.inode;
        } else if (c.kind == Kind::Rename) {
            disk_.durableNames[c.to] = c.inode;
            disk_.durableNames.erase(c.path);
        } else {
            disk_.durableNames.erase(c.path);
        }
    }
    disk_.pending = left;
    return Status();
}

Status MemoryFileSystem::renameFile(const std::string& from, const std::string& to) {
    Status changed = change();
    if (!changed) {
        return changed;
    }
    auto it = files_.find(from);
    if (it == files_.end()) {
        return Status::failed("cannot replace " + to + ": no such file " + from);
    }
    std::uint64_t inode = inodeOf(from);
    files_[to] = std::move(it->second);
    files_.erase(from);
    names_[to] = inode;
    names_.erase(from);
    recordFolderChange(Kind::Rename, from, to, inode);
    ++renameCount;
    return Status();
}

Status MemoryFileSystem::removeFile(const std::string& path) {
    Status changed = change();
    if (!changed) {
        return changed;
    }
    if (files_.count(path) != 0) {
        std::uint64_t inode = inodeOf(path);
        files_.erase(path);
        names_.erase(path);
        recordFolderChange(Kind::Remove, path, std::string(), inode);
    }
    return Status();
}

PathInfo MemoryFileSystem::examine(const std::string& path) {
    PathInfo info;
    if (files_.count(path) != 0) {
        info.kind = PathKind::File;
        info.identity = "inode " + std::to_string(inodeOf(path));
        info.links = 1;
    }
    return info;
}

Expected<std::string> MemoryFileSystem::folderIdentity(const std::string& folder) {
    // Folders are only names here: none is ever moved.
    return "folder " + folder;
}

Expected<std::vector<std::string>> MemoryFileSystem::listFolder(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& [path, bytes] : files_) {
        if (folderOf(path) == folder) {
            names.push_back(path.substr(folder.size()));
        }
    }
    return names;
}

Expected<TextBuffer> MemoryFileSystem::readWhole(const std::string& path) {
    Expected<std::string> bytes = readOwnFile(path);
    if (!bytes) {
        return bytes.status();
    }
    return TextBuffer(*bytes);
}

Expected<std::string> MemoryFileSystem::readOwnFile(const std::string& path) {
    auto it = files_.find(path);
    if (it == files_.end()) {
        return Status::failed("no such file: " + path);
    }
    return it->second;
}

Expected<std::unique_ptr<LibraryLock>> MemoryFileSystem::lockLibrary(const std::string&,
                                                                     const std::function<void()>&) {
    return std::make_unique<LibraryLock>();
}

Expected<std::unique_ptr<LibraryLock>>
MemoryFileSystem::shareLibraryLock(const std::string&, const std::function<void()>&) {
    return std::make_unique<LibraryLock>();
}

Status MemoryFileSystem::mayReplace(const std::string& path) {
    if (readOnly_.count(path) != 0) {
        return Status::failed("read-only: " + path);
    }
    return Status();
}

std::string MemoryFileSystem::randomHex() {
    std::uint64_t z = (nextRandom_ += 0x9e3779b97f4a7c15ull); // splitmix64
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z ^= z >> 31;
    unsigned char bytes[8];
    for (unsigned char& byte : bytes) {
        byte = static_cast<unsigned char>(z);
        z >>= 8;
    }
    return hexText(bytes, sizeof bytes);
}

std::string MemoryFileSystem::folderOf(const std::string& path) const {
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::size_t MemoryFileSystem::pendingAtPowerCut() const {
    std::size_t dirty = 0;
    for (const auto& [number, inode] : frozen_.inodes) {
        dirty += inode.data != inode.durable ? 1 : 0;
    }
    return frozen_.pending.size() + dirty;
}

void MemoryFileSystem::restart(const DiskState& state) {
    files_ = state.files;
    names_ = state.inodes;
    for (const auto& [path, inode] : names_) {
        nextInode_ = std::max(nextInode_, inode + 1);
    }
    disk_ = Disk();
    frozen_ = Disk();
    changes_ = 0;
    cutAt_ = 0;
}

std::vector<DiskState> MemoryFileSystem::statesAfterPowerCut(unsigned maxBits, unsigned samples,
                                                             std::uint64_t seed) const {
    std::vector<std::uint64_t> dirty;
    for (const auto& [number, inode] : frozen_.inodes) {
        if (inode.data != inode.durable) {
            dirty.push_back(number);
        }
    }
    const std::size_t bits = frozen_.pending.size() + dirty.size();
    std::vector<std::vector<bool>> choices;
    if (bits <= maxBits) {
        for (std::uint64_t mask = 0; mask < (std::uint64_t{1} << bits); ++mask) {
            std::vector<bool> keep(bits);
            for (std::size_t b = 0; b < bits; ++b) {
                keep[b] = ((mask >> b) & 1) != 0;
            }
            choices.push_back(keep);
        }
    } else {
        choices.push_back(std::vector<bool>(bits, false));
        choices.push_back(std::vector<bool>(bits, true));
        std::mt19937_64 random(seed);
        for (unsigned s = 0; s < samples; ++s) {
            std::vector<bool> keep(bits);
            for (std::size_t b = 0; b < bits; ++b) {
                keep[b] = (random() & 1) != 0;
            }
            choices.push_back(keep);
        }
    }
    std::vector<DiskState> states;
    for (const std::vector<bool>& keep : choices) {
        std::map<std::string, std::uint64_t> names = frozen_.durableNames;
        for (std::size_t i = 0; i < frozen_.pending.size(); ++i) {
            const FolderChange& c = frozen_.pending[i];
            if (!keep[i]) {
                continue;
            }
            if (c.kind == Kind::Create) {
                names[c.path] = c.inode;
            } else if (c.kind == Kind::Rename) {
                auto it = names.find(c.path);
                if (it != names.end()) {
                    names[c.to] = it->second;
                    names.erase(c.path);
                }
            } else {
                names.erase(c.path);
            }
        }
        std::set<std::uint64_t> keptData;
        for (std::size_t d = 0; d < dirty.size(); ++d) {
            if (keep[frozen_.pending.size() + d]) {
                keptData.insert(dirty[d]);
            }
        }
        DiskState state;
        state.inodes = names;
        for (const auto& [path, number] : names) {
            const Inode& inode = frozen_.inodes.at(number);
            state.files[path] = keptData.count(number) != 0 ? inode.data : inode.durable;
        }
        states.push_back(std::move(state));
    }
    return states;
}

} // namespace quillora::testing
