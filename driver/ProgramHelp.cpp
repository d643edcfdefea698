#include "driver/ProgramHelp.h"

#include "text/AsciiCase.h"

namespace quillora {

namespace {

constexpr const char* kUsage =
    "Usage: " QUILLORA_PROGRAM_NAME
    " [maintain=y|n] [active=y|n] [updatedir] [--dry-run [--diff]]\n"
    "Updates the library whose catalogue, Quillora.ini, is in the working folder: every\n"
    "package's book data file, then the catalogue, all written in format version 9.\n"
    "\n"
    "  maintain=y|n  set the maintain flag of every entry of every package\n"
    "  active=y|n    set the active flag of every entry of every package\n"
    "  updatedir     renumber above 100 the directories of books copied off the CD\n"
    "  --dry-run     do everything but write: the same messages and exit status, no file\n"
    "                changed; standard error says what would change in each file\n"
    "  --diff        with --dry-run, also show each file's changes as a unified diff\n"
    "  --help        this text (also -h, -? and /?); --version: the version\n"
    "\n"
    "Options are case-insensitive; anything else is ignored. See " QUILLORA_PROGRAM_NAME "(1).\n";

} // namespace

bool answerHelpRequest(const std::vector<std::string>& arguments, std::ostream& out) {
    if (arguments.size() != 2) {
        return false;
    }
    const std::string word = toLowerAscii(arguments[1]);
    if (word == "--help" || word == "-h" || word == "-?" || word == "/?") {
        out << kUsage << std::flush;
        return true;
    }
    if (word == "--version") {
        out << QUILLORA_PROGRAM_NAME " " QUILLORA_VERSION "\n" << std::flush;
        return true;
    }
    return false;
}

} // namespace quillora
