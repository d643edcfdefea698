// A synthetic library for benchmarks: record lines of every kind and file
// version, whole book data files, a catalogue and the registry store that the
// POSIX build reads. Everything is derived from a seed, so two runs with the
// same options write the same bytes.
#pragma once

#include <cstdint>
#include <string>

namespace quillora::bench {

// splitmix64: small, fast, and the same sequence on every platform (the
// standard distributions are not).
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, bound); bound must be above 0.
    std::uint32_t below(std::uint32_t bound);
    // True with the given chance in percent.
    bool percent(std::uint32_t chance) { return below(100) < chance; }

private:
    std::uint64_t state_;
};

// Every field any record kind carries; each kind writes the ones it has.
struct Record {
    char tag = 'B'; // B, G, P, X or Y
    std::int32_t id = 0;
    std::uint32_t auxNumber = 0;
    std::int32_t directoryId = 0;
    std::string name, text2, text3, text4, text5, text6, text7, text8, extraText;
    // Written as it is: a type code before version 7, type bits from version 7 on.
    std::int32_t typeNumber = 16;
    std::int32_t levelCode = 0;
    std::int32_t extraFlag = 0;
    std::int32_t displayKind = 0;
    std::int32_t active = -1;
    std::int32_t maintain = 1;
    std::int32_t hasLValue = 0;
    std::int32_t lValue = 0;
    std::int32_t hasExtraText = 0;
};

// What the records of a library look like. Typical: mostly books, with titles
// and file names of some length (about 94 bytes a line). Dense: the five kinds
// in even shares, texts of 0 to 12 characters (about 60 bytes a line), so that
// the cost of each record rather than of its bytes shows.
enum class RecordMix { Typical, Dense };

// A record of the given kind with plausible random content. Book directory
// identifiers are drawn from directoryIds (count of them).
Record randomRecord(Rng& rng, char tag, std::int32_t id, int version,
                    const std::int32_t* directoryIds, std::size_t directoryCount,
                    RecordMix mix = RecordMix::Typical);

// Appends the record's line as a file of that version holds it (and a book's
// L line). A group's members and E line are the caller's.
void appendRecordLine(std::string& out, const Record& record, int version, const char* eol);

// The body of a book data file (no header): records lines of mixed kinds, with
// nested groups, L lines and extra texts. Typical: every group is closed, four
// deep at most. Dense: E lines are about a tenth of the lines, fewer than the
// groups, so the groups left open nest deeper and deeper until the end of the
// file closes them.
std::string makeBookDataBody(Rng& rng, std::uint32_t records, int version, const char* eol,
                             const std::int32_t* directoryIds, std::size_t directoryCount,
                             RecordMix mix = RecordMix::Typical);

struct LibraryOptions {
    std::uint32_t packages = 100;
    std::uint32_t recordsPerPackage = 10000;
    std::uint64_t seed = 1;
    int catalogVersion = 9; // 7 or 9
    // Dense: every file version from 3 to 9 in turn, and the dense record mix.
    RecordMix mix = RecordMix::Typical;
    // Where the library will be run: the registry and the stored plain paths
    // name this folder. Defaults to the output folder.
    std::string installRoot;
};

struct LibrarySummary {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t records = 0;
    std::uint64_t largestDataFile = 0;
    std::uint32_t olderFiles = 0; // book data files below version 9
};

// Writes the library into outDir (created): Quillora.ini, registry.reg, and
// the book data files under home/data, local/data and data. False (with why)
// when a file cannot be written.
bool writeLibrary(const std::string& outDir, const LibraryOptions& options, LibrarySummary& summary,
                  std::string& why);

// The catalogue alone, as writeLibrary would write it (no data files).
std::string makeCatalogText(const LibraryOptions& options);

// The registry store in regedit export form for an installation at root.
std::string makeRegistryFile(const std::string& root);

} // namespace quillora::bench
