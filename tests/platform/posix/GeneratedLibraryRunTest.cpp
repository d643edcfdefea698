// Whole runs of the program over a small synthetic library of every record kind
// and file version, as the benchmark runs it: every package is saved, no record
// is lost, and a second run finds nothing left to change.
#include "bench/SyntheticLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace quillora::bench {
namespace {

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every file of the library by its path inside it, with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).string()] = slurp(entry.path());
        }
    }
    return files;
}

std::size_t countRecords(const std::string& bytes) {
    std::size_t records = 0;
    std::istringstream lines(bytes);
    std::string line;
    while (std::getline(lines, line)) {
        records += !line.empty() && std::string("BGPXY").find(line[0]) != std::string::npos;
    }
    return records;
}

std::size_t countLines(const std::string& text, const std::string& prefix) {
    std::size_t n = 0;
    for (std::size_t at = text.find(prefix); at != std::string::npos;
         at = text.find(prefix, at + 1)) {
        n += at == 0 || text[at - 1] == '\n';
    }
    return n;
}

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun runTool(const fs::path& library, const fs::path& logs) {
    std::string command = "cd '" + library.string() + "' && QUILLORA_REGISTRY='" +
                          (library / "registry.reg").string() + "' '" + QUILLORA_UPDATE_EXE +
                          "' updatedir maintain=y > '" + (logs / "out.txt").string() + "' 2> '" +
                          (logs / "err.txt").string() + "'";
    int status = std::system(command.c_str());
    return {status, slurp(logs / "out.txt"), slurp(logs / "err.txt")};
}

TEST(GeneratedLibraryRun, EveryPackageSavedNothingLostSecondRunChangesNothing) {
    for (int catalogVersion : {7, 9}) {
        SCOPED_TRACE("catalogue version " + std::to_string(catalogVersion));
        const fs::path dir =
            fs::temp_directory_path() / ("quillora-genrun-" + std::to_string(::getpid()) + "-" +
                                         std::to_string(catalogVersion));
        const fs::path library = dir / "library";
        fs::remove_all(dir);
        fs::create_directories(dir);

        LibraryOptions options;
        options.packages = 24; // enough for older files of several versions
        options.recordsPerPackage = 300;
        options.seed = 11;
        options.catalogVersion = catalogVersion;
        LibrarySummary summary;
        std::string why;
        ASSERT_TRUE(writeLibrary(library.string(), options, summary, why)) << why;
        ASSERT_GT(summary.olderFiles, 0u);
        const auto before = snapshot(library);

        ToolRun first = runTool(library, dir);
        EXPECT_EQ(first.status, 0) << first.err;
        EXPECT_EQ(first.err, "");
        EXPECT_EQ(countLines(first.out, "\tSaving\n"), options.packages);
        EXPECT_GT(countLines(first.out, "Updating "), 0u) << "copied directories renumbered";
        const auto after = snapshot(library);
        ASSERT_EQ(after.size(), before.size());
        for (const auto& [path, bytes] : before) {
            if (path.size() > 4 && path.compare(path.size() - 4, 4, ".dat") == 0) {
                EXPECT_EQ(countRecords(after.at(path)), options.recordsPerPackage) << path;
                EXPECT_EQ(after.at(path).compare(0, 17, "zobooksdatafile 9"), 0) << path;
            }
        }
        EXPECT_EQ(after.at("Quillora.ini").compare(0, 9, "Version 9"), 0);

        ToolRun second = runTool(library, dir);
        EXPECT_EQ(second.status, 0) << second.err;
        EXPECT_EQ(countLines(second.out, "Updating "), 0u);
        EXPECT_TRUE(snapshot(library) == after) << "the second run changed a file";
        fs::remove_all(dir);
    }
}

} // namespace
} // namespace quillora::bench
