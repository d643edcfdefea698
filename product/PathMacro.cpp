#include "product/PathMacro.h"

#include "product/ProductKeyTable.h"

namespace quillora {

std::string replaceFirst(const std::string& text, const std::string& search,
                         const std::string& replacement) {
    if (search.empty()) {
        return text;
    }
    std::size_t at = toLowerAscii(text).find(toLowerAscii(search));
    if (at == std::string::npos) {
        return text;
    }
    std::string result;
    result.reserve(text.size() - search.size() + replacement.size());
    result.append(text, 0, at);
    result.append(replacement);
    result.append(text, at + search.size(), std::string::npos);
    return result;
}

std::string expandProgramMacro(const std::string& text) {
    return replaceFirst(text, token::Program, programName());
}

std::string expandCompanyMacro(const std::string& text) {
    return replaceFirst(text, token::Company, companyName());
}

bool isMacroPath(const std::string& text) {
    return text.size() >= 2 && text[0] == '$' && text[1] == '+' &&
           text.find('.', 2) != std::string::npos;
}

std::string expandDirectoryMacros(const std::string& path, const InstallDirectories& directories) {
    std::string result = replaceFirst(path, token::Cd, directories.cd);
    result = replaceFirst(result, token::Home, directories.home);
    return replaceFirst(result, token::Local, directories.local);
}

std::string abbreviatePath(const std::string& path, const InstallDirectories& directories) {
    struct Step {
        const std::string& directory;
        const char* macro;
    };
    const Step steps[] = {{directories.home, token::Home},
                          {directories.cd, token::Cd},
                          {directories.local, token::Local}};
    std::string result = path;
    for (const Step& step : steps) {
        // An empty directory would match every path; there is nothing to abbreviate.
        if (!step.directory.empty() && startsWithNoCase(result, step.directory)) {
            result = replaceFirst(result, step.directory, step.macro);
        }
    }
    return result;
}

} // namespace quillora
