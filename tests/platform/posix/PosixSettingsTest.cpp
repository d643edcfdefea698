#include "platform/posix/PosixPlatform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <unistd.h>

namespace quillora {
namespace {

// Sets environment variables for one test and puts the old values back.
class Environment {
public:
    void set(const char* name, const char* value) {
        if (saved_.count(name) == 0) {
            const char* old = std::getenv(name);
            saved_[name] = old == nullptr ? std::nullopt : std::optional<std::string>(old);
        }
        if (value == nullptr) {
            ::unsetenv(name);
        } else {
            ::setenv(name, value, 1);
        }
    }
    ~Environment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST(PosixSettings, StoreLocation) {
    // The machine's store, there or not.
    const std::string machine = ::testing::TempDir() + "machine-" + std::to_string(::getpid());
    const std::string nowhere = machine + ".missing";
    struct Case {
        const char* registry;
        const char* config;
        const char* home;
        bool machineStore;
        std::string file;
        bool createFolder;
    };
    const Case cases[] = {
        {"/etc/q.reg", "/cfg", "/home/u", false, "/etc/q.reg", false},
        {"/etc/q.reg", "/cfg", "/home/u", true, "/etc/q.reg", false},
        {nullptr, "/cfg", "/home/u", true, machine, false},
        {"", nullptr, nullptr, true, machine, false},
        {nullptr, "/cfg", "/home/u", false, "/cfg/quillora/registry.reg", true},
        {"", "/cfg", "/home/u", false, "/cfg/quillora/registry.reg", true},
        {nullptr, "relative", "/home/u", false, "/home/u/.config/quillora/registry.reg", true},
        {nullptr, nullptr, "/home/u", false, "/home/u/.config/quillora/registry.reg", true},
        {nullptr, nullptr, nullptr, false, "", false},
    };
    ASSERT_EQ(::symlink("dangling", machine.c_str()), 0) << "anything there counts";
    for (const Case& c : cases) {
        Environment environment;
        environment.set("QUILLORA_REGISTRY", c.registry);
        environment.set("XDG_CONFIG_HOME", c.config);
        environment.set("HOME", c.home);
        PosixSettings settings = PosixSettings::fromEnvironment(c.machineStore ? machine : nowhere);
        EXPECT_EQ(settings.registryFile, c.file);
        EXPECT_EQ(settings.createRegistryFolder, c.createFolder) << c.file;
    }
    ::unlink(machine.c_str());
}

TEST(PosixSettings, ResourceFolders) {
    // This test program's own folder, and the share folder of its prefix.
    std::string exe(4096, '\0');
    exe.resize(static_cast<std::size_t>(::readlink("/proc/self/exe", &exe[0], exe.size())));
    const std::string bin = exe.substr(0, exe.rfind('/'));
    const std::string share = bin.substr(0, bin.rfind('/')) + "/share/quillora";
    struct Case {
        const char* path;
        std::vector<std::string> folders;
    };
    const Case cases[] = {
        {"/a::/b c:", {"/a", "/b c", bin, share}},
        {"rel", {"rel", bin, share}},
        {"", {bin, share}},
        {nullptr, {bin, share}},
    };
    for (const Case& c : cases) {
        Environment environment;
        environment.set("QUILLORA_RESOURCE_PATH", c.path);
        EXPECT_EQ(PosixSettings::fromEnvironment().resourceFolders, c.folders)
            << (c.path ? c.path : "unset");
    }
}

} // namespace
} // namespace quillora
