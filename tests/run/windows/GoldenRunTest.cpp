// The golden cases of tests/golden under Wine, one case per Wine prefix:
// golden-test.sh prepares a prefix whose D: is a CD-ROM drive and names the
// case in QUILLORA_GOLDEN_CASE. The case's C: files go to the prefix's C:, its
// installation into the real registry, and the program runs twice as a child
// process.
#include "platform/windows/ScratchFolder.h"
#include "support/GoldenCase.h"
#include "support/ProcessRun.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace quillora {
namespace {

// An absolute path of the build machine as Wine sees it.
std::string hostPath(const std::string& path) {
    return "Z:" + path;
}

struct ChildRun {
    int status = -1;
    std::string out;
    std::string err;
};

// An inheritable handle to a new file, for a child's standard stream.
HANDLE inheritableFile(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs program with args in folder; its output and errors go through files in
// scratch. The console's text mode ends lines with CR LF: they come back as LF.
ChildRun runChild(const std::string& program, const std::vector<std::string>& args,
                  const std::string& folder, const testing::ScratchFolder& scratch) {
    std::string commandLine = "\"" + program + "\"";
    for (const std::string& arg : args) {
        commandLine += arg.find(' ') == std::string::npos ? " " + arg : " \"" + arg + "\"";
    }
    HANDLE in = inheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = inheritableFile(scratch / "out.txt", GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = inheritableFile(scratch / "err.txt", GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    ChildRun run;
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       folder.c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        ADD_FAILURE() << "cannot start " << commandLine << " (" << GetLastError() << ")";
    }
    for (HANDLE handle : {in, out, err}) {
        CloseHandle(handle);
    }
    for (auto [name, text] : {std::pair{"out.txt", &run.out}, std::pair{"err.txt", &run.err}}) {
        *text = testing::readBytes(scratch / name);
        for (std::size_t at = text->find("\r\n"); at != std::string::npos;
             at = text->find("\r\n", at)) {
            text->erase(at, 1);
        }
    }
    return run;
}

void setInstallation(const testing::GoldenCase& golden) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, testing::productKey("", "", "").path.c_str(), 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, value] : golden.registry) {
        EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1)),
                  ERROR_SUCCESS);
    }
    RegCloseKey(key);
}

TEST(GoldenRun, CaseOfThisWinePrefix) {
    const char* name = std::getenv("QUILLORA_GOLDEN_CASE");
    if (name == nullptr) {
        GTEST_SKIP() << "golden-test.sh runs this in a Wine prefix of its own";
    }
    ASSERT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_CDROM)) << "D: is no CD-ROM drive";
    const testing::GoldenCase golden =
        testing::loadGoldenCase(hostPath(QUILLORA_SOURCE_DIR "/tests/golden"), name);
    const testing::DriveFolders drives = {{"drive_c", "C:\\"}, {"drive_d", "D:\\"}};
    testing::layOutGoldenInput(golden, drives);
    setInstallation(golden);

    // The program and its resource library, where an installer would put them:
    // those of this build, or those of a package (QUILLORA_GOLDEN_PROGRAM).
    testing::ScratchFolder scratch;
    const char* packaged = std::getenv("QUILLORA_GOLDEN_PROGRAM");
    const std::string built = hostPath(packaged != nullptr ? packaged : QUILLORA_UPDATE_EXE);
    std::cout << "program: " << built << std::endl; // which one ran, for the log
    const std::string builtFolder = built.substr(0, built.find_last_of("/\\"));
    CreateDirectoryA((scratch / "bin").c_str(), nullptr);
    const std::string program = scratch / "bin\\quillora-update.exe";
    ASSERT_TRUE(CopyFileA(built.c_str(), program.c_str(), FALSE)) << built;
    ASSERT_TRUE(CopyFileA((builtFolder + "/KIVRes.dll").c_str(),
                          (scratch / "bin\\KIVRes.dll").c_str(), FALSE));

    const std::string workingDirectory =
        (drives.at("drive_c") / testing::kGoldenWorkingFolder).make_preferred().string();
    // The second run goes over what the first left, so only after a good first one.
    for (int round = 1; round <= 2 && !::testing::Test::HasFailure(); ++round) {
        ChildRun r = runChild(program, golden.args, workingDirectory, scratch);
        testing::expectGoldenRun(golden, round, r.status, r.out, r.err);
        testing::expectGoldenFiles(golden, round, testing::libraryFiles(golden, drives));
    }
}

} // namespace
} // namespace quillora
