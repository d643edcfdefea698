// A packaging tool patches the program name into the built executable; the
// program must pick the new value up at run time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void spill(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Runs exe in dir with a registry store that holds the product key of
// program; returns standard output.
std::string runIn(const fs::path& dir, const fs::path& exe, const std::string& program) {
    spill(dir / "registry.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\Tolvane Works\\" +
                                    program +
                                    "]\r\n\"HomeDirectory\"=\"/tmp\"\r\n"
                                    "\"LocalDirectory\"=\"/tmp\"\r\n\r\n");
    std::string command = "cd '" + dir.string() + "' && QUILLORA_REGISTRY='" +
                          (dir / "registry.reg").string() + "' '" + exe.string() +
                          "' > out.txt 2> err.txt";
    int status = std::system(command.c_str());
    (void)status;
    return slurp(dir / "out.txt");
}

TEST(ProductKeyPatch, PatchedProgramNameIsUsedAtRunTime) {
    const fs::path original = QUILLORA_UPDATE_EXE;
    fs::path dir = fs::temp_directory_path() / ("quillora-patch-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(fs::path(QUILLORA_SOURCE_DIR) / "resources" / "KIVRes.rc", dir / "KIVRes.rc");

    std::string image = slurp(original);
    const std::string marker = "%2PROGRAMKEY%";
    std::size_t at = image.find(marker);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(image.find(marker, at + 1), std::string::npos) << "marker must be unique";
    // Overwrite the value and clear the rest of the 64-byte slot, as a packager does.
    std::size_t value = at + marker.size();
    const std::string name = "Libris";
    for (std::size_t i = value; i < at + 64; ++i) {
        image[i] = i - value < name.size() ? name[i - value] : '\0';
    }
    fs::path patched = dir / "patched-update";
    spill(patched, image);
    fs::permissions(patched, fs::perms::owner_all);

    std::string out = runIn(dir, patched, name);
    EXPECT_NE(out.find("Reading Libris.ini\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Cannot find Libris.ini\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Quillora"), std::string::npos) << out;

    fs::copy_file(original, dir / "plain-update");
    std::string plain = runIn(dir, dir / "plain-update", "Quillora");
    EXPECT_NE(plain.find("Reading Quillora.ini\n"), std::string::npos) << plain;
    fs::remove_all(dir);
}

} // namespace
