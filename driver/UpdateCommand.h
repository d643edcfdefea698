// The whole run of the tool, with its streams and platform passed in so that a
// complete run can be driven from tests.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quillora {

class DirectoryItem;
class Package;
class Platform;
struct InstallDirectories;
struct UpdateOptions;

// Process exit status.
enum ExitStatus : int {
    kExitOk = 0,         // every file was read and written
    kExitStopped = 1,    // stopped early: registry or catalogue
    kExitIncomplete = 2, // finished, but a package was not saved or a write failed
};

// arguments[0] is the program's own path. Messages go to out, diagnostics to err.
int runUpdate(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              Platform& platform);

// A directory item given a new identifier, with the one it had.
struct DirectoryChange {
    DirectoryItem* item;
    std::int32_t oldId;
};
using DirectoryChanges = std::vector<DirectoryChange>;

// What applyEntryOptions changed: the entries with any change, and the flags.
struct EntryChangeCount {
    std::size_t records = 0;
    std::size_t flags = 0;
};

// Sets the flags the options ask for on every entry of a loaded package and
// renumbers the directories of copied books (not on the CD: see directories and
// cdDrive), printing one "Updating " line per book. Returns the directory items
// it renumbered, and counts what changed in counted when given.
DirectoryChanges applyEntryOptions(Package& package, const UpdateOptions& options,
                                   const InstallDirectories& directories,
                                   const std::string& cdDrive, std::ostream& out,
                                   EntryChangeCount* counted = nullptr);
// Gives renumbered directory items their old identifiers back, for a package
// whose book data file could not be saved.
void undoDirectoryChanges(const DirectoryChanges& changes);
// Rewrites the package's paths and directory items into path-macro form.
void abbreviatePackagePaths(Package& package, const InstallDirectories& directories);

} // namespace quillora
