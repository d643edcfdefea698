// The two requests a run answers without touching anything: a short usage
// text and the program's version.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quillora {

// arguments[0] is the program's own path. When the one word after it is
// --help, -h, -? or /? (the usage text) or --version, prints the answer and
// gives true. With any other word beside it, such a word means nothing, so
// that an installer's command line keeps its meaning.
bool answerHelpRequest(const std::vector<std::string>& arguments, std::ostream& out);

} // namespace quillora
