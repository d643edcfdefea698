#include "platform/posix/PosixPlatform.h"

#include "platform/posix/PosixFiles.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace quillora {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : value;
}

std::string programFile() {
    std::error_code unknown; // no /proc: ""
    return std::filesystem::read_symlink("/proc/self/exe", unknown).string();
}

} // namespace

PosixSettings PosixSettings::fromEnvironment(const std::string& machineStore) {
    PosixSettings settings;
    settings.registryFile = environment("QUILLORA_REGISTRY");
    struct stat machine {};
    if (settings.registryFile.empty() && ::lstat(machineStore.c_str(), &machine) == 0) {
        settings.registryFile = machineStore;
    }
    if (settings.registryFile.empty()) {
        // Where a user looks for a program's own settings.
        std::string config = environment("XDG_CONFIG_HOME");
        if (config.empty() || config[0] != '/') {
            std::string home = environment("HOME");
            config = home.empty() ? std::string() : home + "/.config";
        }
        if (!config.empty()) {
            settings.registryFile = config + "/quillora/registry.reg";
            settings.createRegistryFolder = true;
        }
    }
    // A user's own folders first, so that they can stand in for the installed script.
    std::string path = environment("QUILLORA_RESOURCE_PATH");
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t colon = path.find(':', start);
        std::size_t stop = colon == std::string::npos ? path.size() : colon;
        if (stop > start) {
            settings.resourceFolders.push_back(path.substr(start, stop - start));
        }
        start = stop + 1;
    }
    std::string program = programFile();
    if (!program.empty()) {
        // Beside the program in a build folder; <prefix>/share/quillora for
        // <prefix>/bin when installed, whatever the prefix.
        std::string folder = directoryOf(program);
        std::string prefix = directoryOf(folder);
        settings.resourceFolders.push_back(folder);
        settings.resourceFolders.push_back((prefix == "/" ? "" : prefix) + "/share/quillora");
    }
    return settings;
}

PosixPlatform::PosixPlatform() : PosixPlatform(PosixSettings::fromEnvironment()) {}
PosixPlatform::PosixPlatform(PosixSettings settings) : settings_(std::move(settings)) {}

std::unique_ptr<Platform> makeHostPlatform() {
    return std::make_unique<PosixPlatform>();
}

} // namespace quillora
