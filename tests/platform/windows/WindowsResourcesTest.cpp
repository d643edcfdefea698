#include "platform/windows/WindowsPlatform.h"
#include "registry/InstallationSettings.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace quillora {
namespace {

std::string resourceScript() {
    std::ifstream in(QUILLORA_SOURCE_DIR "/resources/KIVRes.rc", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(WindowsResources, LibraryBesideTheProgramHoldsTheScriptsStrings) {
    WindowsPlatform platform;
    Expected<std::unique_ptr<ResourceLibrary>> opened = platform.openResourceLibrary("KIVRes");
    ASSERT_TRUE(opened.ok()) << opened.status().reason();
    const std::unique_ptr<ResourceLibrary>& library = *opened;
    const std::string script = resourceScript();
    ASSERT_FALSE(script.empty());
    for (unsigned id : {kHomeValueNameId, kLocalValueNameId, kCdValueNameId}) {
        std::string text;
        ASSERT_TRUE(library->loadString(id, text)) << id;
        EXPECT_FALSE(text.empty()) << id;
        EXPECT_NE(script.find(std::to_string(id) + " \"" + text + "\""), std::string::npos)
            << id << " " << text;
    }
    std::string text = "unchanged";
    EXPECT_FALSE(library->loadString(1, text));
    EXPECT_EQ(text, "unchanged");
}

TEST(WindowsResources, MissingLibraryIsReported) {
    WindowsPlatform platform;
    Expected<std::unique_ptr<ResourceLibrary>> opened =
        platform.openResourceLibrary("NoSuchLibrary");
    EXPECT_FALSE(opened.ok());
    const std::string& error = opened.status().reason();
    EXPECT_NE(error.find("NoSuchLibrary"), std::string::npos) << error;
}

} // namespace
} // namespace quillora
