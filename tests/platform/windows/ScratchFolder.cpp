#include "platform/windows/ScratchFolder.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace quillora::testing {

namespace {

// The names in folder but . and .., unsorted; false when it cannot be listed.
bool listNames(const std::string& folder, std::vector<std::string>& names) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return true;
}

void removeTree(const std::string& path) {
    std::vector<std::string> names;
    listNames(path, names);
    for (const std::string& name : names) {
        std::string child = path + "\\" + name;
        DWORD attributes = GetFileAttributesA(child.c_str());
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            removeTree(child);
        } else {
            DeleteFileA(child.c_str());
        }
    }
    RemoveDirectoryA(path.c_str());
}

} // namespace

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof temp, temp);
    std::string base = length > 0 ? std::string(temp, length) : std::string(".\\");
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::ostringstream name;
    name << base << "quillora-" << (test != nullptr ? test->name() : "test") << "-"
         << GetCurrentProcessId();
    path_ = name.str();
    removeTree(path_);
    if (!CreateDirectoryA(path_.c_str(), nullptr)) {
        ADD_FAILURE() << "cannot create " << path_ << " (" << GetLastError() << ")";
    }
}

ScratchFolder::~ScratchFolder() {
    removeTree(path_);
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (!listNames(folder, names)) {
        ADD_FAILURE() << "cannot list " << folder << " (" << GetLastError() << ")";
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace quillora::testing
