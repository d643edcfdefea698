// Micro-benchmarks of the record readers (through TextCursor and the tag
// parser) and writers (through TextSink), one per record kind, and of whole
// files: a package's book data file and the catalogue. Each reports bytes per
// second of file text.
#include "bookdata/BookDataFile.h"
#include "catalog/LibraryCatalog.h"
#include "platform/FileStage.h"
#include "platform/Platform.h"
#include "support/SyntheticLibrary.h"
#include "text/TextCursor.h"
#include "text/TextSink.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace quillora::bench {
namespace {

constexpr std::uint32_t kLines = 4000;
const std::int32_t kDirectoryIds[] = {1, 2, 3, 5, 8, 13, 21, 101};

// kLines record lines of one kind in one file version, without L lines so that
// every line is one record of the kind; each group is closed right away.
std::string recordLines(char tag, int version, RecordMix mix) {
    Rng rng(static_cast<std::uint64_t>(tag) * 131 + static_cast<std::uint64_t>(version));
    std::string text;
    for (std::uint32_t i = 0; i < kLines; ++i) {
        Record r = randomRecord(rng, tag, static_cast<std::int32_t>(i + 1), version, kDirectoryIds,
                                std::size(kDirectoryIds), mix);
        r.hasLValue = 0;
        appendRecordLine(text, r, version, "\n");
        if (tag == 'G') {
            text += "E\n";
        }
    }
    return text;
}

// Through the tag parser, which hands each line to its kind's read.
bool readAll(const std::string& text, int version, BookDataFile& package) {
    package.clear();
    TextCursor in(text);
    return package.readEntries(in, version).ok() && package.allEntries.count() == kLines;
}

void readRecords(benchmark::State& state, char tag, int version, RecordMix mix) {
    const std::string text = recordLines(tag, version, mix);
    BookDataFile package;
    for (auto _ : state) {
        if (!readAll(text, version, package)) {
            state.SkipWithError("the reader did not read every line");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void writeRecords(benchmark::State& state, char tag, RecordMix mix) {
    const std::string text = recordLines(tag, 9, mix);
    BookDataFile package;
    if (!readAll(text, 9, package)) {
        state.SkipWithError("the reader did not read every line");
        return;
    }
    std::size_t written = 0;
    for (auto _ : state) {
        TextSink sink;
        sink.reserve(text.size());
        package.writeEntries(sink);
        written = sink.size();
        std::string bytes = sink.take();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(written));
}

// A platform whose files are strings; nothing touches the disk, so load and
// save are measured without I/O.
class MemoryPlatform : public Platform, public Installation, public FileStage {
public:
    std::map<std::string, std::string> files;

    DriveType driveType(const std::string&) override { return DriveType::NoRootDir; }
    std::string fullPath(const std::string& path) override { return path; }
    void splitPath(const std::string&, std::string& drive, std::string& dir) override {
        drive.clear();
        dir.clear();
    }
    Installation& installation() override { return *this; }
    Expected<std::unique_ptr<OpenKey>> openKey(const std::string&, bool) override {
        return Status::failed(Failure::AccessDenied, std::string());
    }
    Expected<std::unique_ptr<ResourceLibrary>> openResourceLibrary(const std::string&) override {
        return Status::failed("none");
    }
    Expected<FileBytes> readFile(const std::string& name) override {
        auto it = files.find(name);
        if (it == files.end()) {
            return Status::failed("no file " + name);
        }
        return FileBytes{TextBuffer(it->second), resolve(name)};
    }
    ResolvedPath resolve(const std::string& name) override { return ResolvedPath(name); }
    // Saving replaces a string; the file system is never reached.
    Status stage(const ResolvedPath& resolvedPath, const NewContent& content) override {
        std::string& bytes = files[resolvedPath.text()];
        bytes.clear();
        const bool made = content([&bytes](std::string_view piece) {
            bytes.append(piece);
            return true;
        });
        return made ? Status()
                    : Status::failed("cannot make the content of " + resolvedPath.text());
    }
    FileSystem& fileSystem() override { return host_->fileSystem(); }

private:
    std::unique_ptr<Platform> host_ = makeHostPlatform();
};

// One package's book data file of kLines records of mixed kinds.
std::string packageFile(int version, const char* eol) {
    Rng rng(42 + static_cast<std::uint64_t>(version));
    return "zobooksdatafile " + std::to_string(version) + eol +
           makeBookDataBody(rng, kLines, version, eol, kDirectoryIds, std::size(kDirectoryIds));
}

// The whole load of a package: file bytes, line ends, header and tag parser.
void loadPackage(benchmark::State& state, int version, const char* eol) {
    MemoryPlatform platform;
    platform.files["p.dat"] = packageFile(version, eol);
    BookDataFile package;
    for (auto _ : state) {
        package.clear();
        if (!package.load(platform, "p.dat").ok() || package.allEntries.count() != kLines) {
            state.SkipWithError("the package did not load completely");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(platform.files["p.dat"].size()));
}

void savePackage(benchmark::State& state, const char* eol) {
    MemoryPlatform platform;
    platform.files["p.dat"] = packageFile(9, eol);
    BookDataFile package;
    if (!package.load(platform, "p.dat").ok()) {
        state.SkipWithError("the package did not load");
        return;
    }
    for (auto _ : state) {
        if (!package.save(platform, "p.dat").ok()) {
            state.SkipWithError("the package was not saved");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(platform.files["p.dat"].size()));
}

std::string catalogText(int version) {
    LibraryOptions options;
    options.packages = 500;
    options.catalogVersion = version;
    options.installRoot = "/opt/quillora";
    return makeCatalogText(options);
}

void readCatalog(benchmark::State& state, int version) {
    MemoryPlatform platform;
    const std::string text = catalogText(version);
    platform.files["Quillora.ini"] = text;
    for (auto _ : state) {
        LibraryCatalog catalog;
        catalog.catalogFileName = "Quillora.ini";
        if (!catalog.readCatalog(platform).ok() || catalog.body.packages.count() != 500) {
            state.SkipWithError("the catalogue did not read completely");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void writeCatalog(benchmark::State& state) {
    MemoryPlatform platform;
    platform.files["Quillora.ini"] = catalogText(9);
    LibraryCatalog catalog;
    catalog.catalogFileName = "Quillora.ini";
    if (!catalog.readCatalog(platform).ok()) {
        state.SkipWithError("the catalogue did not read");
        return;
    }
    std::size_t written = 0;
    for (auto _ : state) {
        std::string text = catalog.formatCatalog();
        written = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(written));
}

// Each record kind in the typical mix and in the record-dense one (short
// texts, so that the cost of each field shows).
constexpr RecordMix kTypical = RecordMix::Typical;
constexpr RecordMix kDense = RecordMix::Dense;
BENCHMARK_CAPTURE(readRecords, Book_v9, 'B', 9, kTypical);
BENCHMARK_CAPTURE(readRecords, Book_v5, 'B', 5, kTypical);
BENCHMARK_CAPTURE(readRecords, Group_v9, 'G', 9, kTypical);
BENCHMARK_CAPTURE(readRecords, Group_v5, 'G', 5, kTypical);
BENCHMARK_CAPTURE(readRecords, Program_v9, 'P', 9, kTypical);
BENCHMARK_CAPTURE(readRecords, Program_v5, 'P', 5, kTypical);
BENCHMARK_CAPTURE(readRecords, ExtractSingle, 'X', 9, kTypical);
BENCHMARK_CAPTURE(readRecords, ExtractGroup, 'Y', 9, kTypical);
BENCHMARK_CAPTURE(readRecords, Dense_Book_v9, 'B', 9, kDense);
BENCHMARK_CAPTURE(readRecords, Dense_Book_v5, 'B', 5, kDense);
BENCHMARK_CAPTURE(readRecords, Dense_Group_v9, 'G', 9, kDense);
BENCHMARK_CAPTURE(readRecords, Dense_Group_v5, 'G', 5, kDense);
BENCHMARK_CAPTURE(readRecords, Dense_Program_v9, 'P', 9, kDense);
BENCHMARK_CAPTURE(readRecords, Dense_Program_v5, 'P', 5, kDense);
BENCHMARK_CAPTURE(readRecords, Dense_ExtractSingle, 'X', 9, kDense);
BENCHMARK_CAPTURE(readRecords, Dense_ExtractGroup, 'Y', 9, kDense);
BENCHMARK_CAPTURE(writeRecords, Book, 'B', kTypical);
BENCHMARK_CAPTURE(writeRecords, Group, 'G', kTypical);
BENCHMARK_CAPTURE(writeRecords, Program, 'P', kTypical);
BENCHMARK_CAPTURE(writeRecords, ExtractSingle, 'X', kTypical);
BENCHMARK_CAPTURE(writeRecords, ExtractGroup, 'Y', kTypical);
BENCHMARK_CAPTURE(writeRecords, Dense_Book, 'B', kDense);
BENCHMARK_CAPTURE(writeRecords, Dense_Group, 'G', kDense);
BENCHMARK_CAPTURE(writeRecords, Dense_Program, 'P', kDense);
BENCHMARK_CAPTURE(writeRecords, Dense_ExtractSingle, 'X', kDense);
BENCHMARK_CAPTURE(writeRecords, Dense_ExtractGroup, 'Y', kDense);
BENCHMARK_CAPTURE(loadPackage, v9_CRLF, 9, "\r\n");
BENCHMARK_CAPTURE(loadPackage, v9_LF, 9, "\n");
BENCHMARK_CAPTURE(loadPackage, v5_CRLF, 5, "\r\n");
BENCHMARK_CAPTURE(savePackage, CRLF, "\r\n");
BENCHMARK_CAPTURE(savePackage, LF, "\n");
BENCHMARK_CAPTURE(readCatalog, v9, 9);
BENCHMARK_CAPTURE(readCatalog, v7, 7);
BENCHMARK(writeCatalog);

} // namespace
} // namespace quillora::bench

// The process is set up as the tool sets itself up, so that memory behaves as
// in a run.
int main(int argc, char** argv) {
    quillora::prepareHostProcess();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
