#include "driver/UpdateCommand.h"
#include "platform/Platform.h"

#include <iostream>

int main(int argc, char** argv) {
    // Every message line is flushed on its own; without the C streams
    // underneath, a line is one copy and one write.
    std::ios::sync_with_stdio(false);
    std::vector<std::string> arguments(argv, argv + argc);
    quillora::prepareHostProcess();
    std::unique_ptr<quillora::Platform> platform = quillora::makeHostPlatform();
    return quillora::runUpdate(arguments, std::cout, std::cerr, *platform);
}
