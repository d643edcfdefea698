#include "platform/windows/WindowsPlatform.h"

namespace quillora {

std::unique_ptr<Platform> makeHostPlatform() {
    return std::make_unique<WindowsPlatform>();
}

// The process heap keeps freed memory for reuse already.
void prepareHostProcess() {}

} // namespace quillora
