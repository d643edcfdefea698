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

} // namespace quillora
