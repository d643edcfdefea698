// One whole update run on a fake platform, with what it printed.
#pragma once

#include "driver/UpdateCommand.h"
#include "support/FakePlatform.h"

#include <sstream>
#include <string>
#include <vector>

namespace quillora::testing {

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

// args are the options; programPath goes first, as on a command line.
inline RunResult runUpdateWith(FakePlatform& platform, const std::string& programPath,
                               std::vector<std::string> args) {
    args.insert(args.begin(), programPath);
    std::ostringstream out;
    std::ostringstream err;
    int status = runUpdate(args, out, err, platform);
    return {status, out.str(), err.str()};
}

} // namespace quillora::testing
