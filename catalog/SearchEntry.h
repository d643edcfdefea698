#pragma once

#include <string>

namespace quillora {

// One "SEARCH=" line; carried only.
struct SearchEntry {
    std::string text1;
    std::string text2;
    bool flag = false;
};

} // namespace quillora
