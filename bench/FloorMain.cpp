// quillora-bench-floor: what a run costs before any parsing. Reads each file
// named and writes it back unchanged the way a run does (under the library's
// lock, a new file beside each, flushed, all put in place together under a
// commit record), and prints LINES lines in all, each flushed as a run's
// messages are.
//   quillora-bench-floor LINES FILE...
#include "commit/StagedFiles.h"
#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: quillora-bench-floor LINES FILE...\n");
        return 2;
    }
    const unsigned long lines = std::strtoul(argv[1], nullptr, 10);
    const auto files = static_cast<unsigned long>(argc - 2);
    quillora::prepareHostProcess();
    std::unique_ptr<quillora::Platform> host = quillora::makeHostPlatform();
    // The lines go out as a run's messages do.
    std::unique_ptr<std::ostream> out = quillora::makeMessageOutput();
    auto lock = host->fileSystem().lockLibrary("quillora-bench-floor.lock", [] {});
    if (!lock) {
        std::cerr << "quillora-bench-floor: " << lock.status().reason() << std::endl;
        return 1;
    }
    quillora::StagedFiles staged(*host, "quillora-bench-floor.commit");
    unsigned long printed = 0;
    for (unsigned long i = 0; i < files; ++i) {
        const std::string name = argv[i + 2];
        quillora::Expected<quillora::FileBytes> file = staged.readFile(name);
        const quillora::Status copied =
            file ? staged.stage(file->resolvedPath,
                                [&file](const quillora::PieceWriter& write) {
                                    return write(file->bytes.view());
                                })
                 : file.status();
        if (!copied) {
            std::cerr << "quillora-bench-floor: " << name << ": " << copied.reason() << std::endl;
            return 1;
        }
        // The lines are spread over the files as a run's would be.
        for (const unsigned long until = lines * (i + 1) / files; printed < until; ++printed) {
            *out << "Updating Floor Line " << printed << " id 41 to 101" << std::endl;
        }
    }
    const quillora::Status committed = staged.commit();
    if (!committed) {
        std::cerr << "quillora-bench-floor: " << committed.reason() << std::endl;
        return 1;
    }
    return 0;
}
