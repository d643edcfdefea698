// The whole run of the tool, with its streams and platform passed in so that a
// complete run can be driven from tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quillora {

class Platform;

// Process exit status.
enum ExitStatus : int {
    kExitOk = 0,         // every file was read and written
    kExitStopped = 1,    // stopped early: registry or catalogue
    kExitIncomplete = 2, // finished, but a package was not saved or a write failed
};

// arguments[0] is the program's own path. Messages go to out, diagnostics to err.
int runUpdate(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              Platform& platform);

} // namespace quillora
