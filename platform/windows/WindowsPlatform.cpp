#include "platform/windows/WindowsPlatform.h"

#include <iostream>

namespace quillora {

std::unique_ptr<Platform> makeHostPlatform() {
    return std::make_unique<WindowsPlatform>();
}

// The C runtime's heap offers no such setting; left as it is (not measured here).
void prepareHostProcess() {}

// The C runtime's standard output, whose text mode ends each line with CR LF.
std::unique_ptr<std::ostream> makeMessageOutput() {
    return std::make_unique<std::ostream>(std::cout.rdbuf());
}

} // namespace quillora
