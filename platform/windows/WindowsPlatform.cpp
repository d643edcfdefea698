#include "platform/windows/WindowsPlatform.h"

namespace quillora {

std::unique_ptr<Platform> makeHostPlatform() {
    return std::make_unique<WindowsPlatform>();
}

// The C runtime's heap offers no such setting; left as it is (not measured here).
void prepareHostProcess() {}

} // namespace quillora
