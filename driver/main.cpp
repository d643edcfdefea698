#include "driver/UpdateCommand.h"
#include "platform/Platform.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    quillora::prepareHostProcess();
    std::unique_ptr<quillora::Platform> platform = quillora::makeHostPlatform();
    return quillora::runUpdate(arguments, std::cout, std::cerr, *platform);
}
