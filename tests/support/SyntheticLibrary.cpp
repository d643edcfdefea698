#include "support/SyntheticLibrary.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace quillora::bench {

std::uint64_t Rng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint32_t Rng::below(std::uint32_t bound) {
    return static_cast<std::uint32_t>((next() >> 32) % bound);
}

namespace {

const char* const kSubjects[] = {"Service",     "Operating",   "Installation", "Maintenance",
                                 "Parts",       "Wiring",      "Safety",       "Reference",
                                 "Calibration", "Training",    "Overhaul",     "Hydraulics",
                                 "Electrical",  "Engine",      "Airframe",     "Avionics",
                                 "Landing",     "Fuel System", "Troubleshoot", "Quick Start"};
const char* const kNouns[] = {"Manual",   "Guide",    "Catalogue",  "Handbook",
                              "Bulletin", "Notes",    "Procedure",  "Checklist",
                              "Diagrams", "Appendix", "Supplement", "Index"};
const char* const kExtensions[] = {".htm", ".pdf", ".txt", ".hlp", ".doc"};
const char* const kPrograms[] = {"viewer.exe", "setup.exe /q", "calc.exe", "partsdb.exe -r",
                                 "print.exe"};

template <std::size_t N> const char* pick(Rng& rng, const char* const (&table)[N]) {
    return table[rng.below(static_cast<std::uint32_t>(N))];
}

void appendNumber(std::string& out, std::int64_t v) {
    char buf[24];
    int n = std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
    out.append(buf, static_cast<std::size_t>(n));
}

std::string padded(std::uint32_t v, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*u", width, v);
    return buf;
}

std::string title(Rng& rng) {
    std::string s = pick(rng, kSubjects);
    s += ' ';
    s += pick(rng, kNouns);
    s += ' ';
    s += padded(rng.below(10000), 4);
    if (rng.percent(20)) {
        s += " (Rev. ";
        s += static_cast<char>('A' + rng.below(8));
        s += ')';
    }
    return s;
}

std::string fileName(Rng& rng) {
    std::string s = "vol";
    s += padded(rng.below(1000), 3);
    s += "\\ch";
    s += padded(rng.below(100), 2);
    s += "\\page";
    s += padded(rng.below(10000), 4);
    s += pick(rng, kExtensions);
    return s;
}

std::int32_t typeNumber(Rng& rng, int version) {
    if (version < 7) {
        // Codes 0 to 3, now and then one out of range.
        return rng.percent(3) ? 7 : static_cast<std::int32_t>(rng.below(4));
    }
    static const std::int32_t bits[] = {0x10, 0x10, 0x10, 0x20, 0x40, 0x80, 0x30, 0x90};
    return bits[rng.below(8)];
}

void field(std::string& out, const std::string& text) {
    out += text;
    out += '|';
}

void number(std::string& out, std::int64_t v) {
    appendNumber(out, v);
    out += '\t';
}

// 0 to 12 characters; a text of a dense record.
std::string shortText(Rng& rng) {
    static const char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-";
    std::string s(rng.below(13), ' ');
    for (char& c : s) {
        c = kLetters[rng.below(sizeof kLetters - 1)];
    }
    return s;
}

// A tenth of the texts of a dense record are empty, besides the short ones.
std::string mostlyEmpty(Rng& rng) {
    return rng.percent(10) ? std::string() : shortText(rng);
}

std::int32_t pickId(Rng& rng, const std::int32_t* ids, std::size_t count) {
    return count == 0 ? 0 : ids[rng.below(static_cast<std::uint32_t>(count))];
}

// The numbers every kind carries, drawn the same way for both mixes.
void randomNumbers(Rng& rng, Record& r, int version) {
    r.typeNumber = typeNumber(rng, version);
    r.levelCode = static_cast<std::int32_t>(rng.below(3));
    r.active = rng.percent(90) ? -1 : 0;
    r.maintain = rng.percent(60) ? 1 : 0;
    r.displayKind = static_cast<std::int32_t>(rng.below(3));
    r.extraFlag = rng.percent(10) ? 1 : 0;
}

Record denseRecord(Rng& rng, char tag, std::int32_t id, int version,
                   const std::int32_t* directoryIds, std::size_t directoryCount) {
    Record r;
    r.tag = tag;
    r.id = id;
    r.auxNumber = rng.percent(70) ? 0 : rng.below(5000);
    r.directoryId = pickId(rng, directoryIds, directoryCount);
    r.name = shortText(rng);
    randomNumbers(rng, r, version);
    for (std::string* s : {&r.text2, &r.text3, &r.text4}) {
        *s = mostlyEmpty(rng);
    }
    if (tag == 'G') {
        return r;
    }
    for (std::string* s : {&r.text5, &r.text6, &r.text7}) {
        *s = mostlyEmpty(rng);
    }
    if (tag == 'P' || tag == 'X') {
        r.text8 = mostlyEmpty(rng);
    }
    if (tag == 'B') {
        r.hasLValue = rng.percent(20) ? 1 : 0;
        r.lValue = rng.percent(90) ? static_cast<std::int32_t>(1 + rng.below(500))
                                   : -static_cast<std::int32_t>(rng.below(3));
        r.hasExtraText = rng.percent(15) ? 1 : 0;
        if (r.hasExtraText != 0) {
            r.extraText = shortText(rng);
        }
    }
    return r;
}

} // namespace

Record randomRecord(Rng& rng, char tag, std::int32_t id, int version,
                    const std::int32_t* directoryIds, std::size_t directoryCount, RecordMix mix) {
    if (mix == RecordMix::Dense) {
        return denseRecord(rng, tag, id, version, directoryIds, directoryCount);
    }
    Record r;
    r.tag = tag;
    r.id = id;
    r.auxNumber = rng.percent(70) ? 0 : rng.below(5000);
    r.directoryId = pickId(rng, directoryIds, directoryCount);
    r.name = title(rng);
    randomNumbers(rng, r, version);
    if (tag == 'G') {
        r.text2 = rng.percent(50) ? "Section " + padded(rng.below(100), 2) : std::string();
        r.text4 = rng.percent(30) ? "Contents" : std::string();
        return r;
    }
    r.text2 = fileName(rng);
    r.text3 = rng.percent(60) ? "Chapter " + std::to_string(1 + rng.below(40)) : std::string();
    r.text4 = rng.percent(40) ? "keywords: " + std::string(pick(rng, kSubjects)) : std::string();
    r.text5 = rng.percent(50)
                  ? padded(1990 + rng.below(20), 4) + "-" + padded(1 + rng.below(12), 2) + "-" +
                        padded(1 + rng.below(28), 2)
                  : std::string();
    r.text6 = rng.percent(20) ? "ISBN " + padded(rng.below(1000000000), 9) : std::string();
    r.text7 = rng.percent(30) ? "PN-" + padded(rng.below(100000), 5) : std::string();
    if (tag == 'P' || tag == 'X') {
        r.text8 = pick(rng, kPrograms);
    }
    if (tag == 'B') {
        r.hasLValue = rng.percent(20) ? 1 : 0;
        // Mostly positive; now and then a 0 or negative number that clears the flag.
        r.lValue = rng.percent(90) ? static_cast<std::int32_t>(1 + rng.below(500))
                                   : -static_cast<std::int32_t>(rng.below(3));
        r.hasExtraText = rng.percent(15) ? 1 : 0;
        if (r.hasExtraText != 0) {
            r.extraText = "See also " + title(rng);
        }
    }
    return r;
}

void appendRecordLine(std::string& out, const Record& r, int version, const char* eol) {
    out += r.tag;
    out += '\t';
    number(out, r.id);
    if (r.tag == 'X' || r.tag == 'Y') {
        // One layout in every version.
        number(out, r.auxNumber);
        number(out, r.directoryId);
        field(out, r.name);
        if (r.tag == 'X') {
            field(out, r.text8);
        }
        for (const std::string* s : {&r.text2, &r.text3, &r.text4, &r.text5, &r.text6, &r.text7}) {
            field(out, *s);
        }
        for (std::int32_t v :
             {r.typeNumber, r.levelCode, r.extraFlag, r.displayKind, r.active, r.maintain}) {
            number(out, v);
        }
        out += eol;
        return;
    }
    if (version >= 5) {
        number(out, r.auxNumber);
    }
    if (r.tag == 'G') {
        field(out, r.name);
        field(out, r.text2);
        field(out, r.text3);
        if (version >= 6) {
            field(out, r.text4);
        }
        number(out, r.typeNumber);
        if (version >= 9) {
            number(out, r.levelCode);
        }
        appendNumber(out, r.active); // a group line has no tab before its end
        out += eol;
        return;
    }
    number(out, r.directoryId);
    field(out, r.name);
    if (r.tag == 'P' && version >= 8) {
        field(out, r.text8);
    }
    field(out, r.text2);
    field(out, r.text3);
    if (version >= 6) {
        field(out, r.text4);
    }
    field(out, r.text5);
    field(out, r.text6);
    if (version >= 4) {
        field(out, r.text7);
    }
    number(out, r.typeNumber);
    if (version >= 9) {
        number(out, r.levelCode);
        number(out, r.extraFlag);
    }
    if (r.tag == 'P') {
        number(out, r.active);
        number(out, r.maintain);
        out += eol;
        return;
    }
    number(out, r.displayKind);
    number(out, r.active);
    number(out, r.hasLValue);
    number(out, r.maintain);
    number(out, r.hasExtraText);
    if (r.hasExtraText != 0) {
        field(out, r.extraText);
    }
    out += eol;
    if (r.hasLValue != 0) {
        out += "L\t";
        appendNumber(out, r.lValue);
        out += eol;
    }
}

namespace {

std::string makeDenseBody(Rng& rng, std::uint32_t records, int version, const char* eol,
                          const std::int32_t* directoryIds, std::size_t directoryCount) {
    std::string out;
    out.reserve(static_cast<std::size_t>(records) * 80);
    std::uint32_t depth = 0;
    for (std::uint32_t i = 0; i < records; ++i) {
        // 12 in 100 records: about a tenth of all lines once L lines are counted.
        if (depth > 0 && rng.percent(12)) {
            out += 'E';
            out += eol;
            --depth;
        }
        const char tag = "BGPXY"[rng.below(5)];
        Record r = denseRecord(rng, tag, static_cast<std::int32_t>(i + 1), version, directoryIds,
                               directoryCount);
        appendRecordLine(out, r, version, eol);
        depth += tag == 'G' ? 1 : 0;
    }
    return out;
}

} // namespace

std::string makeBookDataBody(Rng& rng, std::uint32_t records, int version, const char* eol,
                             const std::int32_t* directoryIds, std::size_t directoryCount,
                             RecordMix mix) {
    if (mix == RecordMix::Dense) {
        return makeDenseBody(rng, records, version, eol, directoryIds, directoryCount);
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(records) * 200);
    int depth = 0;
    for (std::uint32_t i = 0; i < records; ++i) {
        // Close a group now and then; open one (up to four deep) now and then.
        if (depth > 0 && rng.percent(4)) {
            out += 'E';
            out += eol;
            --depth;
        }
        std::uint32_t roll = rng.below(100);
        char tag = roll < 74 ? 'B' : roll < 82 ? 'P' : roll < 87 ? 'X' : roll < 91 ? 'Y' : 'G';
        if (tag == 'G' && depth >= 4) {
            tag = 'B';
        }
        Record r = randomRecord(rng, tag, static_cast<std::int32_t>(i + 1), version, directoryIds,
                                directoryCount);
        appendRecordLine(out, r, version, eol);
        if (tag == 'G') {
            ++depth;
        }
    }
    for (; depth > 0; --depth) {
        out += 'E';
        out += eol;
    }
    return out;
}

namespace {

bool makeDirectories(const std::string& path, std::string& why) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        why = "cannot create " + path + ": " + error.message();
        return false;
    }
    return true;
}

bool writeFile(const std::string& path, const std::string& bytes, std::string& why) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        why = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        why = "cannot write " + path;
    }
    return ok;
}

struct Directory {
    std::int32_t id;
    std::string path;
};

struct MarkedText {
    std::int32_t id;
    bool high;
    std::string text;
};

struct PackagePlan {
    std::string name;
    std::string qualifier;
    std::string storedLocation; // as the catalogue holds it
    std::string filePath;       // where the generator writes it, inside outDir
    std::string secondPath;
    bool active = true;
    int version = 9;
    const char* eol = "\r\n";
    std::vector<Directory> directories;
    std::vector<MarkedText> marked;
};

// Directory items: some on the CD (by token or drive letter), most copied to
// the hard disk, a few already renumbered above 100 by an earlier run.
void planDirectories(Rng& rng, PackagePlan& plan, const std::string& root, int catalogVersion) {
    std::uint32_t count = 6 + rng.below(20);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::int32_t id = static_cast<std::int32_t>(i + 1 + rng.below(3) * 30);
        std::string tail = "\\books\\" + plan.qualifier + "\\vol" + padded(i, 3);
        std::uint32_t roll = rng.below(100);
        std::string path;
        if (roll < 30) {
            path = "$+CD." + tail;
        } else if (roll < 40) {
            path = "d:" + tail;
        } else if (roll < 65) {
            path = "$+HOME." + tail;
        } else if (roll < 75) {
            path = "$+LOCAL." + tail;
        } else if (roll < 90) {
            path = root + "/home" + tail; // plain: the run abbreviates it
        } else {
            path = "e:\\copies" + tail;
        }
        bool duplicate = false;
        for (const Directory& d : plan.directories) {
            duplicate = duplicate || d.id == id;
        }
        if (!duplicate) {
            plan.directories.push_back({id, path});
        }
    }
    for (std::uint32_t i = 0, n = rng.below(3); i < n; ++i) {
        plan.directories.push_back({static_cast<std::int32_t>(101 + i),
                                    "$+HOME.\\copied\\" + plan.qualifier + padded(i, 2)});
    }
    if (catalogVersion >= 8) {
        for (std::uint32_t i = 0, n = rng.below(3); i < n; ++i) {
            plan.marked.push_back(
                {static_cast<std::int32_t>(95 + i), rng.percent(50), "Bookmark " + title(rng)});
        }
    }
}

void appendCatalogPackage(std::string& out, const PackagePlan& plan, std::uint32_t number,
                          int version) {
    const char* eol = "\r\n";
    out += "[" + plan.name + ":" + plan.qualifier + "]" + eol;
    out += plan.storedLocation + eol;
    out += plan.secondPath + eol;
    out += std::to_string(number) + "\t" + (plan.active ? "active" : "deleted") + eol;
    for (const Directory& d : plan.directories) {
        out += (version >= 8 ? "D\t" : "") + std::to_string(d.id) + "\t" + d.path + eol;
    }
    for (const MarkedText& m : plan.marked) {
        out += "A\t" + std::to_string(m.id) + "\t" + (m.high ? "H" : "U") + "\t" + m.text + eol;
    }
    out += eol;
}

std::string makeCatalogHead(Rng& rng, int version) {
    const char* eol = "\r\n";
    std::string out = "Version " + std::to_string(version) + eol;
    out += std::string("WELCOME=Welcome to the technical library") + eol;
    out += std::string("MODE=full") + eol;
    out += std::string("INIT=$+HOME.\\start.htm") + eol;
    for (int i = 0; i < 3; ++i) {
        out += std::string("SEARCH=") + pick(rng, kSubjects) + "|" + pick(rng, kNouns) + "|" +
               (rng.percent(50) ? "T" : "F") + "|" + eol;
    }
    out += std::string("[Categories]") + eol;
    for (std::uint32_t c = 1; c <= 12; ++c) {
        out += std::to_string(c) + "\t" + std::to_string(typeNumber(rng, version)) + "\t" +
               pick(rng, kSubjects) + "|";
        out += std::string(pick(rng, kNouns)) + "|" + std::to_string(rng.below(50)) + " " +
               std::to_string(rng.below(50)) + " " + std::to_string(rng.below(50)) + "|" + eol;
    }
    return out;
}

} // namespace

std::string makeRegistryFile(const std::string& root) {
    // regedit doubles every backslash inside a string value.
    auto quoted = [](const std::string& s) {
        std::string q = "\"";
        for (char c : s) {
            if (c == '\\' || c == '"') {
                q += '\\';
            }
            q += c;
        }
        return q + "\"";
    };
    std::string out = "Windows Registry Editor Version 5.00\r\n\r\n";
    out += "[HKEY_LOCAL_MACHINE\\Software\\Tolvane Works\\Quillora]\r\n";
    out += "\"HomeDirectory\"=" + quoted(root + "/home") + "\r\n";
    out += "\"LocalDirectory\"=" + quoted(root + "/local") + "\r\n";
    out += "\"CDDirectory\"=" + quoted(root + "/cd") + "\r\n\r\n";
    // Drive d: is the CD-ROM drive, so "d:" directory items still point at the CD.
    out += "[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n";
    out += "\"d:\"=\"cdrom\"\r\n\r\n";
    out += "[HKEY_LOCAL_MACHINE\\Software\\Quillora\\DriveDirectories]\r\n";
    out += "\"d:\"=" + quoted(root + "/cd") + "\r\n";
    return out + "\r\n";
}

namespace {

// Plans every package, hands each book data file to store (unless bodies is
// false) and returns the catalogue. False when store fails.
template <class Store>
bool buildLibrary(const LibraryOptions& options, const std::string& root, bool bodies,
                  std::string& catalog, LibrarySummary& summary, Store store) {
    Rng rng(options.seed);
    catalog = makeCatalogHead(rng, options.catalogVersion);
    for (std::uint32_t p = 0; p < options.packages; ++p) {
        PackagePlan plan;
        plan.qualifier = "P" + padded(p + 1, 3);
        plan.name = std::string(pick(rng, kSubjects)) + " Library " + padded(p + 1, 3);
        plan.active = !rng.percent(5);
        std::uint32_t versionRoll = rng.below(100);
        plan.version = versionRoll < 80 ? 9 : static_cast<int>(3 + (versionRoll - 80) % 6);
        if (options.mix == RecordMix::Dense) {
            plan.version = static_cast<int>(3 + p % 7);
        }
        plan.eol = rng.percent(80) ? "\r\n" : "\n";
        const std::string file = "p" + padded(p + 1, 3) + ".dat";
        std::uint32_t place = rng.below(100);
        if (place < 55) {
            plan.storedLocation = "$+HOME.\\data\\" + file;
            plan.filePath = "/home/data/" + file;
        } else if (place < 70) {
            plan.storedLocation = "$+LOCAL.\\data\\" + file;
            plan.filePath = "/local/data/" + file;
        } else if (place < 90) {
            plan.storedLocation = root + "/home/data/" + file; // plain: abbreviated by the run
            plan.filePath = "/home/data/" + file;
        } else {
            plan.storedLocation = "data\\" + file; // beside the catalogue
            plan.filePath = "/data/" + file;
        }
        plan.secondPath = rng.percent(50) ? "$+HOME.\\index\\" + plan.qualifier + ".idx"
                                          : root + "/local/index/" + plan.qualifier + ".idx";
        planDirectories(rng, plan, root, options.catalogVersion);

        // Books refer to directory items, to marked items (not directories),
        // to missing identifiers, now and then to a negative one.
        std::vector<std::int32_t> ids;
        for (const Directory& d : plan.directories) {
            ids.insert(ids.end(), 4, d.id);
        }
        for (const MarkedText& m : plan.marked) {
            ids.push_back(m.id);
        }
        ids.push_back(77);
        ids.push_back(-1);

        // Each body has its own sequence, so the catalogue does not depend on bodies.
        Rng bodyRng(rng.next());
        if (bodies) {
            std::string bytes = "zobooksdatafile " + std::to_string(plan.version) + plan.eol;
            bytes += makeBookDataBody(bodyRng, options.recordsPerPackage, plan.version, plan.eol,
                                      ids.data(), ids.size(), options.mix);
            if (!store(plan.filePath, bytes)) {
                return false;
            }
            summary.files += 1;
            summary.bytes += bytes.size();
            summary.records += options.recordsPerPackage;
            if (bytes.size() > summary.largestDataFile) {
                summary.largestDataFile = bytes.size();
            }
            if (plan.version < 9) {
                summary.olderFiles += 1;
            }
        }
        appendCatalogPackage(catalog, plan, p + 1, options.catalogVersion);
    }
    return true;
}

} // namespace

std::string makeCatalogText(const LibraryOptions& options) {
    std::string catalog;
    LibrarySummary summary;
    buildLibrary(options, options.installRoot, false, catalog, summary,
                 [](const std::string&, const std::string&) { return true; });
    return catalog;
}

bool writeLibrary(const std::string& outDir, const LibraryOptions& options, LibrarySummary& summary,
                  std::string& why) {
    const std::string root = options.installRoot.empty() ? outDir : options.installRoot;
    for (const char* sub : {"/home/data", "/local/data", "/data", "/cd"}) {
        if (!makeDirectories(outDir + sub, why)) {
            return false;
        }
    }
    std::string catalog;
    bool stored = buildLibrary(options, root, true, catalog, summary,
                               [&](const std::string& path, const std::string& bytes) {
                                   return writeFile(outDir + path, bytes, why);
                               });
    if (!stored) {
        return false;
    }
    std::string registry = makeRegistryFile(root);
    if (!writeFile(outDir + "/Quillora.ini", catalog, why) ||
        !writeFile(outDir + "/registry.reg", registry, why)) {
        return false;
    }
    summary.files += 2;
    summary.bytes += catalog.size() + registry.size();
    return true;
}

} // namespace quillora::bench
