// How a fuzz target reports a broken property: a short account on standard
// error, then abort(), which libFuzzer records as a finding with its input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace quillora::fuzz {

[[noreturn]] inline void fail(const std::string& what, const std::string& detail) {
    // fwrite: the texts may hold NUL bytes.
    const std::string text = "property broken: " + what + "\n" + detail + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::abort();
}

inline void require(bool holds, const std::string& what, const std::string& detail = {}) {
    if (!holds) {
        fail(what, detail);
    }
}

// Shows where the two texts part, with some context on each side.
inline void requireSame(const std::string& what, const std::string& before,
                        const std::string& after) {
    if (before == after) {
        return;
    }
    std::size_t split = 0;
    while (split < before.size() && split < after.size() && before[split] == after[split]) {
        ++split;
    }
    const std::size_t from = split > 200 ? split - 200 : 0;
    fail(what, "they part at offset " + std::to_string(split) + "\n--- before:\n" +
                   before.substr(from, 400) + "\n--- after:\n" + after.substr(from, 400));
}

// A refusal names the file and line and says why in plain printable text.
inline void requireClearReason(const std::string& diagnostic, const std::string& file) {
    require(diagnostic.rfind(file + ":", 0) == 0, "a refusal without the file name", diagnostic);
    std::size_t at = file.size() + 1;
    std::size_t digits = 0;
    while (at < diagnostic.size() && diagnostic[at] >= '0' && diagnostic[at] <= '9') {
        ++at;
        ++digits;
    }
    require(digits > 0 && diagnostic.compare(at, 2, ": ") == 0 && diagnostic.size() > at + 2,
            "a refusal without a line number and a reason", diagnostic);
    for (char c : diagnostic) {
        require(c >= ' ' && c <= '~', "a refusal whose reason holds unprintable bytes", diagnostic);
    }
}

} // namespace quillora::fuzz
