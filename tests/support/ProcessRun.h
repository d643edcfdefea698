// Whole runs of the built quillora-update: a temporary library folder with its
// registry store, a run of the program in it with a chosen environment, and
// what the run printed and left behind. Runs go through /bin/sh.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quillora::testing {

// The registry value names that resources/KIVRes.rc gives the directories.
constexpr const char* kStoreHomeValue = "HomeDirectory";
constexpr const char* kStoreLocalValue = "LocalDirectory";
constexpr const char* kStoreCdValue = "CDDirectory";

// One key of a store file: its path under HKEY_LOCAL_MACHINE and its string
// values in order.
struct StoreKey {
    std::string path;
    std::vector<std::pair<std::string, std::string>> values;
};

// The product's key with the three directory values; an empty text leaves that
// value out.
StoreKey productKey(const std::string& home, const std::string& local, const std::string& cd);

// One drive of the drive table: letter ("d:"), type ("cdrom", "hd", ...; empty
// for none) and the folder it stands for (empty for none).
struct Drive {
    std::string letter;
    std::string type;
    std::string directory;
};
std::vector<StoreKey> driveTable(const std::vector<Drive>& drives);

// A store file as regedit writes it, in the 8-bit form (CR LF line ends).
std::string storeText(const std::vector<StoreKey>& keys);

struct RunResult {
    int status = -1; // exit status; 128 + n after signal n
    std::string out;
    std::string err;
};

// A temporary folder, removed with everything in it when the object goes:
//   library/       the working directory of runs, unless told otherwise
//   registry.reg   the store file runs use (QUILLORA_REGISTRY)
//   home/          HOME of runs
//   bin/           the program, once installProgram has put a copy there
class TempLibrary {
public:
    TempLibrary();
    ~TempLibrary();
    TempLibrary(const TempLibrary&) = delete;
    TempLibrary& operator=(const TempLibrary&) = delete;

    // The folder itself, or a path inside it.
    std::string path(const std::string& relative = "") const;
    // Writes a file, creating its folders.
    void write(const std::string& relative, const std::string& bytes) const;
    // A file's bytes; empty when it cannot be read.
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;

    // Writes registry.reg.
    void writeStore(const std::vector<StoreKey>& keys) const;
    // Copies the built program into bin/ and runs that copy from then on, with
    // a copy of resources/KIVRes.rc beside it or with no resource file at all.
    void installProgram(bool withResourceFile);

    // Runs the program with args in the working directory, in an environment
    // holding only the entries of environment. The program's own path comes
    // first, as the shell gives it.
    RunResult run(const std::vector<std::string>& args = {}) const;
    // Runs the program once for each list of arguments, all at the same time,
    // and waits for every run.
    std::vector<RunResult> runTogether(const std::vector<std::vector<std::string>>& argLists) const;

    std::map<std::string, std::string> environment;
    std::string program;
    // "uid:gid" to make runs as that user (through setpriv); empty: as this process.
    std::string runAs;
    // The working directory of runs, inside the folder.
    std::string workingDirectory = "library";

private:
    std::string root_;
};

} // namespace quillora::testing
