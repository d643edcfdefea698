#include "platform/windows/ScratchFolder.h"

#include <windows.h>

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace quillora::testing {

namespace {

void removeTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                removeTree(child);
            } else {
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
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

} // namespace quillora::testing
