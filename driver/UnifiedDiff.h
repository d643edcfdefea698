// A unified diff of two texts, line by line, for a person to read.
#pragma once

#include <string>
#include <string_view>

namespace quillora {

// The changes from before to after as a unified diff with three lines of
// context, both sides named name; empty when the texts are equal. Each line
// keeps its own end (a CR LF line comes out with its CR), and a last line
// without one is marked as such. The alignment looks a few lines ahead
// rather than for the shortest diff, so that a large file costs little.
std::string unifiedDiff(const std::string& name, std::string_view before, std::string_view after);

} // namespace quillora
