// The edits a run makes to one loaded package: the flags the options set, the
// directories of copied books renumbered, and paths put into path-macro form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quillora {

class DirectoryItem;
class Package;
struct InstallDirectories;
struct UpdateOptions;

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
