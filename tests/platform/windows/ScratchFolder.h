// A folder of its own for one test, removed with everything in it afterwards.
#pragma once

#include <string>
#include <vector>

namespace quillora::testing {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's full path, without a trailing backslash.
    const std::string& path() const { return path_; }
    // path() joined with name.
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Whole-file helpers that go straight to Win32, independent of the code under test.
void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);
bool fileExists(const std::string& path);
// The names in folder as the file system spells them, sorted; without . and ..
std::vector<std::string> namesIn(const std::string& folder);

} // namespace quillora::testing
