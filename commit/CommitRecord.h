// The commit record of a run: the one small file, beside the catalogue, that
// says which new files a run has staged and where they go. A run writes it as
// it stages files and completes it, with a checksum, at the moment it commits;
// the next run reads it to finish or undo a run that did not end.
//
//   quillora-update commit record 2
//   token <16 hex digits, part of every staged file's name>
//   folder <identity> TAB <a folder that holds staged files>   (any number)
//   put <identity> TAB <staged file> TAB <target>       (at the commit)
//   commit <number of put lines> <checksum of all lines before this one>
//
// Paths are written with '%', control characters and DEL as %XX.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillora {

struct StagedEntry {
    std::string identity; // of the staged file, which the target has once it is in place
    std::string staged;
    std::string target;
};

struct RecordedFolder {
    std::string identity; // of the folder the run wrote in, whatever its name now names
    std::string path;
};

struct CommitRecord {
    std::string token;
    std::vector<RecordedFolder> folders;
    std::vector<StagedEntry> entries;
    // The commit line is there and its checksum holds: the run committed.
    bool complete = false;
    // Not even the start of a record: some other file that has the name.
    bool foreign = false;
};

std::string commitRecordStart(const std::string& token);
std::string commitRecordFolder(const std::string& folder, const std::string& identity);
// The put lines and the closing commit line, for a record that holds written.
std::string commitRecordEnd(const std::string& written, const std::vector<StagedEntry>& entries);
// Whatever can be read of a record; one cut short or damaged is not complete.
CommitRecord parseCommitRecord(const std::string& bytes);

// The part of a staged file's name after its target's name, up to its own
// random part: "<target>.quillora-<token>-<random>".
std::string stagedNameMark(const std::string& token);
// How many random hexadecimal digits end a staged file's name.
constexpr std::size_t kStagedNameDigits = 8;
// Whether staged is a name this tool gives a staged file of target in the run
// of token: the target's name, the mark and kStagedNameDigits lower-case
// hexadecimal digits.
bool isStagedNameOf(const std::string& staged, const std::string& target, const std::string& token);

} // namespace quillora
