#include "platform/posix/PosixPlatform.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

// The one string the scripts of these tests hold.
std::string homeOf(const ResourceLibrary& library) {
    std::string text;
    return library.loadString(10248, text) ? text : "(none)";
}

class ResourceSearch : public ::testing::Test {
protected:
    std::unique_ptr<ResourceLibrary> open(std::string& error) {
        PosixSettings settings;
        settings.resourceFolders = {library.path("first"), library.path("bin"),
                                    library.path("share")};
        PosixPlatform platform(settings);
        Expected<std::unique_ptr<ResourceLibrary>> opened = platform.openResourceLibrary("KIVRes");
        error = opened ? std::string() : opened.status().reason();
        return opened ? std::move(*opened) : nullptr;
    }
    static std::string script(const char* home) {
        return std::string("STRINGTABLE BEGIN 10248 \"") + home + "\" END\n";
    }
    testing::TempLibrary library;
};

TEST_F(ResourceSearch, FirstFolderInOrderWins) {
    std::string error;
    EXPECT_EQ(open(error), nullptr);
    EXPECT_NE(error.find("KIVRes.rc"), std::string::npos) << error;
    EXPECT_NE(error.find(library.path("share")), std::string::npos) << error;

    library.write("share/kivres.RC", script("share")); // any case, as on Windows
    auto found = open(error);
    ASSERT_NE(found, nullptr) << error;
    EXPECT_EQ(homeOf(*found), "share");

    library.write("bin/KIVRes.rc", script("bin"));
    found = open(error);
    ASSERT_NE(found, nullptr) << error;
    EXPECT_EQ(homeOf(*found), "bin");

    library.write("first/KIVRes.rc", script("first"));
    found = open(error);
    ASSERT_NE(found, nullptr) << error;
    EXPECT_EQ(homeOf(*found), "first");
}

TEST_F(ResourceSearch, BrokenLibraryIsReportedNotPassedOver) {
    library.write("bin/KIVRes.rc", "STRINGTABLE BEGIN 10248 Home END\n");
    library.write("share/KIVRes.rc", script("share"));
    std::string error;
    EXPECT_EQ(open(error), nullptr);
    EXPECT_NE(error.find(library.path("bin/KIVRes.rc") + ": line 1"), std::string::npos) << error;
}

TEST_F(ResourceSearch, AFolderNamedLikeTheFileIsNoLibrary) {
    library.write("bin/KIVRes.rc/inside", "");
    library.write("share/KIVRes.rc", script("share"));
    std::string error;
    auto found = open(error);
    ASSERT_NE(found, nullptr) << error;
    EXPECT_EQ(homeOf(*found), "share");
}

} // namespace
} // namespace quillora
