// How a run replaces its files all at once, and how the next run finishes or
// undoes one that stopped. What holds at every moment, so that a kill or a
// power cut anywhere leaves a library a later run can make whole:
//
//  1. The record is made new (never over a file that is there) and written
//     only through the descriptor that made it.
//  2. A folder is named in the record, with its identity, before the first
//     file is staged in it.
//  3. A staged file is new, is named <target>.quillora-<token>-<8 hex>, and is
//     on the disk before the record's commit line is written.
//  4. The record is complete (its commit line and checksum on the disk) before
//     the first rename; without that line no target has been touched.
//  5. Files go in place in the record's order, and only while the staged file
//     is still the one written: a regular file with its identity and one name.
//     A rename is whole or not at all, so the renames that a power cut keeps
//     may be any of them: the record lists each.
//  6. The record is removed only once every file is in place and every folder
//     flushed after its renames, or once every staged file of a run that did
//     not commit is gone.
//  7. Recovery removes only regular files named with a torn record's token, in
//     the folders it lists, and only while each folder has its recorded identity.
//  8. Recovery puts in place only the record's own staged files (invariant 3's
//     name, in a listed folder); one already gone is in place when its target
//     has its identity.
#pragma once

#include "commit/CommitRecord.h"
#include "platform/FileSystem.h"

#include <string>

namespace quillora {

// Puts one staged file in place over its target; staged is what examine gives
// of it now. When it is not the one written (invariant 5), nothing is renamed
// and the failure's reason is notWritten.
Status putInPlace(FileSystem& disk, const StagedEntry& entry, const PathInfo& staged,
                  const std::string& notWritten);
// The same without flushing the target's folder: for a run that puts many
// files in place and flushes each of their folders once, after the last.
Status renameInPlace(FileSystem& disk, const StagedEntry& entry, const PathInfo& staged,
                     const std::string& notWritten);

} // namespace quillora
