#pragma once

#include <string>
#include <vector>

namespace quillora {

struct UpdateOptions {
    bool setMaintain = false;
    bool maintainValue = true;
    bool setActive = false;
    bool activeValue = true;
    bool updateDirectories = false;
    // --dry-run: everything but the writing; --diff: with it, each file's changes.
    bool dryRun = false;
    bool showDiff = false;
};

// Parses the arguments after the program name; later ones override earlier ones
// and anything unknown is ignored.
UpdateOptions parseUpdateOptions(const std::vector<std::string>& arguments);

} // namespace quillora
