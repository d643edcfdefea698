// quillora-bench-gen: writes a synthetic library for the benchmark.
//   quillora-bench-gen --out DIR [--install-root DIR] [--packages N] [--records N]
//                      [--seed N] [--catalog-version 7|9] [--dense]
#include "support/SyntheticLibrary.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

int usage() {
    std::fprintf(stderr, "usage: quillora-bench-gen --out DIR [--install-root DIR] [--packages N]"
                         " [--records N] [--seed N] [--catalog-version 7|9] [--dense]\n");
    return 2;
}

bool parseNumber(const char* text, unsigned long long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && end != text && *end == '\0';
}

} // namespace

int main(int argc, char** argv) {
    std::string outDir;
    quillora::bench::LibraryOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--dense") {
            options.mix = quillora::bench::RecordMix::Dense;
            continue;
        }
        if (i + 1 >= argc) {
            return usage();
        }
        const char* value = argv[++i];
        unsigned long long n = 0;
        if (arg == "--out") {
            outDir = value;
        } else if (arg == "--install-root") {
            options.installRoot = value;
        } else if (!parseNumber(value, n)) {
            return usage();
        } else if (arg == "--packages" && n <= 999) {
            options.packages = static_cast<std::uint32_t>(n);
        } else if (arg == "--records" && n <= 10000000) {
            options.recordsPerPackage = static_cast<std::uint32_t>(n);
        } else if (arg == "--seed") {
            options.seed = n;
        } else if (arg == "--catalog-version" && (n == 7 || n == 9)) {
            options.catalogVersion = static_cast<int>(n);
        } else {
            return usage();
        }
    }
    if (outDir.empty()) {
        return usage();
    }
    // Stored paths and the registry name the library's own folder by default;
    // they must be absolute to mean the same from any working directory.
    if (options.installRoot.empty()) {
        std::error_code error;
        options.installRoot = std::filesystem::absolute(outDir, error).generic_string();
        if (error) {
            std::fprintf(stderr, "quillora-bench-gen: %s: %s\n", outDir.c_str(),
                         error.message().c_str());
            return 1;
        }
    }
    quillora::bench::LibrarySummary summary;
    std::string why;
    if (!quillora::bench::writeLibrary(outDir, options, summary, why)) {
        std::fprintf(stderr, "quillora-bench-gen: %s\n", why.c_str());
        return 1;
    }
    std::printf("packages=%u records=%llu files=%llu bytes=%llu largest_data_file=%llu "
                "older_files=%u\n",
                options.packages, static_cast<unsigned long long>(summary.records),
                static_cast<unsigned long long>(summary.files),
                static_cast<unsigned long long>(summary.bytes),
                static_cast<unsigned long long>(summary.largestDataFile), summary.olderFiles);
    return 0;
}
