#include "driver/UpdateCommand.h"
#include "platform/Platform.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    quillora::prepareHostProcess();
    // From here Ctrl-C and the like wait for a point where the run can stop cleanly.
    quillora::watchHostInterrupts();
    std::unique_ptr<quillora::Platform> platform = quillora::makeHostPlatform();
    std::unique_ptr<std::ostream> out = quillora::makeMessageOutput();
    return quillora::runUpdate(arguments, *out, std::cerr, *platform);
}
