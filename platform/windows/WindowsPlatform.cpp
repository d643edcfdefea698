#include "platform/windows/WindowsPlatform.h"

namespace quillora {

std::unique_ptr<Platform> makeHostPlatform() {
    return std::make_unique<WindowsPlatform>();
}

} // namespace quillora
