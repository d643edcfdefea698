// Golden cases: hand-written libraries under tests/golden, each with what a
// run of the built program must print and leave behind (tests/golden/README.md
// describes a case folder). The runner of each platform lays a case out on its
// drives, runs the program twice and checks both runs with these helpers.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quillora::testing {

struct GoldenCase {
    std::string name;
    std::filesystem::path folder;
    std::vector<std::string> args;
    // The values of the product's registry key, by value name, in file order.
    std::vector<std::pair<std::string, std::string>> registry;
    int status = -1;
    std::string out;
    // What the second run prints; by default out without its "Updating " lines.
    std::string secondOut;
    // Texts standard error must contain; none: it must be empty.
    std::vector<std::string> errParts;
    // Files of the input, as "drive_c/...", that are read-only for the run.
    std::vector<std::string> readOnly;
    // The dry run before the real ones: whether there is one, whether it shows
    // the diff, and texts its standard error must contain besides errParts.
    bool dryRun = true;
    bool dryRunDiff = false;
    std::vector<std::string> dryRunErrParts;
};

// The run's working directory, the folder of the catalogue, on drive C:.
constexpr const char* kGoldenWorkingFolder = "Quillora/Data";

// The case folders below root, by name.
std::vector<std::string> goldenCaseNames(const std::filesystem::path& root);
// Reads a case; a file it cannot read is a test failure.
GoldenCase loadGoldenCase(const std::filesystem::path& root, const std::string& name);

// Where each drive folder of the cases ("drive_c", "drive_d") lies for a run.
using DriveFolders = std::map<std::string, std::filesystem::path>;

// Copies the case's input onto the drives and makes its read-only files so.
void layOutGoldenInput(const GoldenCase& golden, const DriveFolders& drives);

// Files by their path as the case names them ("drive_c/Quillora/Data/Quillora.ini").
using FileTree = std::map<std::string, std::string>;
// Every file in the folders of the drives that the case's input or expected
// files lie in, so that a file left beside them counts as well.
FileTree libraryFiles(const GoldenCase& golden, const DriveFolders& drives);

// The first run must end with the case's status, output and errors, the
// second, over what the first left, with the same status and errors and its
// own output.
void expectGoldenRun(const GoldenCase& golden, int round, int status, const std::string& out,
                     const std::string& err);
// After either run the files must be exactly those of expected/.
void expectGoldenFiles(const GoldenCase& golden, int round, const FileTree& files);
// A dry run (round 0) must end and print as the first run does, leave every file
// as it was, and name on standard error each file the real run changes.
void expectGoldenDryRun(const GoldenCase& golden, int status, const std::string& out,
                        const std::string& err, const FileTree& files);

} // namespace quillora::testing
