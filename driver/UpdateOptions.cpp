#include "driver/UpdateOptions.h"

#include "text/AsciiCase.h"

namespace quillora {

namespace {

// "name=" followed by y or n; any other character cancels the option again.
void parseFlag(const std::string& argument, std::size_t prefixLength, bool& set, bool& value) {
    set = true;
    char decider = argument.size() > prefixLength ? argument[prefixLength] : '\0';
    if (decider == 'y') {
        value = true;
    } else if (decider == 'n') {
        value = false;
    } else {
        set = false;
    }
}

} // namespace

UpdateOptions parseUpdateOptions(const std::vector<std::string>& arguments) {
    static const std::string maintainPrefix = "maintain=";
    static const std::string activePrefix = "active=";
    UpdateOptions options;
    for (const std::string& raw : arguments) {
        std::string argument = toLowerAscii(raw);
        if (argument.compare(0, maintainPrefix.size(), maintainPrefix) == 0) {
            parseFlag(argument, maintainPrefix.size(), options.setMaintain, options.maintainValue);
        } else if (argument.compare(0, activePrefix.size(), activePrefix) == 0) {
            parseFlag(argument, activePrefix.size(), options.setActive, options.activeValue);
        } else if (argument == "updatedir") {
            options.updateDirectories = true;
        } else if (argument == "--dry-run") {
            options.dryRun = true;
        } else if (argument == "--diff") {
            options.showDiff = true;
        }
    }
    return options;
}

} // namespace quillora
