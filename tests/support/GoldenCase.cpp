#include "support/GoldenCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace quillora::testing {

namespace {

bool readWhole(const fs::path& file, std::string& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return true;
}

std::string mustRead(const fs::path& file) {
    std::string bytes;
    if (!readWhole(file, bytes)) {
        ADD_FAILURE() << "cannot read " << file.string();
    }
    return bytes;
}

// The non-empty lines of a text.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

// Every file below folder by its path relative to it, with "/" between parts,
// each behind prefix.
void collectFiles(const fs::path& folder, const std::string& prefix, FileTree& files) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[prefix + fs::relative(entry.path(), folder).generic_string()] =
                mustRead(entry.path());
        }
    }
}

FileTree filesBelow(const fs::path& folder) {
    FileTree files;
    if (fs::is_directory(folder)) {
        collectFiles(folder, "", files);
    }
    return files;
}

// "drive_c/Quillora/Books/a.dat" split into the drive folder and the rest.
std::pair<std::string, std::string> splitDrive(const std::string& path) {
    std::size_t slash = path.find('/');
    return {path.substr(0, slash), slash == std::string::npos ? "" : path.substr(slash + 1)};
}

fs::path onDrive(const DriveFolders& drives, const std::string& path) {
    auto [drive, rest] = splitDrive(path);
    auto found = drives.find(drive);
    if (found == drives.end()) {
        ADD_FAILURE() << path << ": no drive folder " << drive << " in this runner";
        return {};
    }
    return rest.empty() ? found->second : found->second / fs::path(rest).make_preferred();
}

// A line with its tabs and carriage returns made visible.
std::string visible(const std::string& line) {
    std::string shown;
    for (char c : line) {
        shown += c == '\t'   ? std::string("\\t")
                 : c == '\r' ? std::string("\\r")
                             : std::string(1, c);
    }
    return shown;
}

// The line of text that holds offset, without its newline.
std::string lineAt(const std::string& text, std::size_t offset) {
    std::size_t start = offset == 0 ? std::string::npos : text.rfind('\n', offset - 1);
    start = start == std::string::npos ? 0 : start + 1;
    std::size_t stop = text.find('\n', offset);
    return text.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
}

// Where two contents part: the line number and both lines.
std::string firstDifference(const std::string& expected, const std::string& actual) {
    auto parted = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    auto offset = static_cast<std::size_t>(parted.first - expected.begin());
    auto line = 1 + std::count(expected.begin(), parted.first, '\n');
    return "first difference in line " + std::to_string(line) +
           "\n  expected: " + visible(lineAt(expected, offset)) +
           "\n  found:    " + visible(lineAt(actual, offset));
}

} // namespace

std::vector<std::string> goldenCaseNames(const fs::path& root) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root)) {
        if (fs::exists(entry.path() / "status.txt")) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

GoldenCase loadGoldenCase(const fs::path& root, const std::string& name) {
    GoldenCase golden;
    golden.name = name;
    golden.folder = root / name;
    golden.args = linesOf(mustRead(golden.folder / "args.txt"));
    for (const std::string& line : linesOf(mustRead(golden.folder / "registry.txt"))) {
        std::size_t equals = line.find('=');
        EXPECT_NE(equals, std::string::npos) << "registry.txt: " << line;
        golden.registry.emplace_back(line.substr(0, equals),
                                     equals == std::string::npos ? "" : line.substr(equals + 1));
    }
    std::istringstream(mustRead(golden.folder / "status.txt")) >> golden.status;
    golden.out = mustRead(golden.folder / "stdout.txt");
    // Directories renumbered and saved by the first run are not renumbered again.
    if (!readWhole(golden.folder / "stdout2.txt", golden.secondOut)) {
        std::istringstream lines(golden.out);
        std::string line;
        while (std::getline(lines, line)) {
            if (line.rfind("Updating ", 0) != 0) {
                golden.secondOut += line + "\n";
            }
        }
    }
    golden.errParts = linesOf(mustRead(golden.folder / "stderr.txt"));
    std::string readOnly;
    if (readWhole(golden.folder / "readonly.txt", readOnly)) {
        golden.readOnly = linesOf(readOnly);
    }
    std::string dryRun;
    if (readWhole(golden.folder / "dry-run.txt", dryRun)) {
        golden.dryRunErrParts = linesOf(dryRun);
        golden.dryRun = golden.dryRunErrParts != std::vector<std::string>{"-"};
        golden.dryRunDiff = golden.dryRun;
    }
    return golden;
}

void layOutGoldenInput(const GoldenCase& golden, const DriveFolders& drives) {
    for (const auto& drive : drives) {
        fs::create_directories(drive.second);
    }
    for (const auto& [path, bytes] : filesBelow(golden.folder / "input")) {
        fs::path target = onDrive(drives, path);
        fs::create_directories(target.parent_path());
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out << bytes;
        out.close();
        EXPECT_TRUE(out.good()) << "cannot write " << target.string();
    }
    for (const std::string& path : golden.readOnly) {
        fs::permissions(onDrive(drives, path),
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
}

FileTree libraryFiles(const GoldenCase& golden, const DriveFolders& drives) {
    // The top folders (or files) of each drive that the case uses.
    std::set<std::string> tops;
    for (const char* side : {"input", "expected"}) {
        for (const auto& file : filesBelow(golden.folder / side)) {
            auto [drive, rest] = splitDrive(file.first);
            tops.insert(drive + "/" + rest.substr(0, rest.find('/')));
        }
    }
    FileTree files;
    for (const std::string& top : tops) {
        fs::path actual = onDrive(drives, top);
        if (fs::is_directory(actual)) {
            collectFiles(actual, top + "/", files);
        } else if (fs::is_regular_file(actual)) {
            files[top] = mustRead(actual);
        }
    }
    return files;
}

void expectGoldenRun(const GoldenCase& golden, int round, int status, const std::string& out,
                     const std::string& err) {
    SCOPED_TRACE("case " + golden.name + ", run " + std::to_string(round));
    EXPECT_EQ(status, golden.status) << err;
    EXPECT_EQ(out, round == 1 ? golden.out : golden.secondOut);
    if (golden.errParts.empty()) {
        EXPECT_EQ(err, "");
    }
    for (const std::string& part : golden.errParts) {
        EXPECT_NE(err.find(part), std::string::npos) << "standard error lacks \"" << part << "\":\n"
                                                     << err;
    }
}

namespace {

void expectFiles(const FileTree& expected, const FileTree& files) {
    EXPECT_FALSE(expected.empty()) << "the case has no files";
    for (const auto& [path, bytes] : expected) {
        auto found = files.find(path);
        if (found == files.end()) {
            ADD_FAILURE() << path << " is missing after the run";
        } else if (found->second != bytes) {
            ADD_FAILURE() << path << " differs: " << firstDifference(bytes, found->second);
        }
    }
    for (const auto& file : files) {
        if (expected.count(file.first) == 0) {
            ADD_FAILURE() << file.first << " was not expected after the run";
        }
    }
}

} // namespace

void expectGoldenFiles(const GoldenCase& golden, int round, const FileTree& files) {
    SCOPED_TRACE("case " + golden.name + ", after run " + std::to_string(round));
    expectFiles(filesBelow(golden.folder / "expected"), files);
}

void expectGoldenDryRun(const GoldenCase& golden, int status, const std::string& out,
                        const std::string& err, const FileTree& files) {
    SCOPED_TRACE("case " + golden.name + ", dry run");
    EXPECT_EQ(status, golden.status) << err;
    EXPECT_EQ(out, golden.out);
    const FileTree input = filesBelow(golden.folder / "input");
    expectFiles(input, files);
    std::vector<std::string> parts = golden.errParts;
    parts.insert(parts.end(), golden.dryRunErrParts.begin(), golden.dryRunErrParts.end());
    for (const std::string& part : parts) {
        EXPECT_NE(err.find(part), std::string::npos) << "standard error lacks \"" << part << "\":\n"
                                                     << err;
    }
    // One "would change" line for each file the real run changes (the lock
    // file it makes is no file of the library).
    std::size_t changed = 0;
    for (const auto& [path, bytes] : filesBelow(golden.folder / "expected")) {
        auto before = input.find(path);
        changed += before != input.end() && before->second != bytes ? 1 : 0;
    }
    std::size_t reported = 0;
    for (std::size_t at = err.find(" would change"); at != std::string::npos;
         at = err.find(" would change", at + 1)) {
        reported += err.compare(at, 14, " would change:") == 0 || err[at + 13] == '\n' ? 1 : 0;
    }
    EXPECT_EQ(reported, changed) << err;
}

} // namespace quillora::testing
