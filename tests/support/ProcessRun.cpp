#include "support/ProcessRun.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace quillora::testing {

namespace {

// A word for /bin/sh that stands for text exactly.
std::string quoted(const std::string& text) {
    std::string word = "'";
    for (char c : text) {
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return word + "'";
}

// regedit's escapes in a quoted text.
std::string escaped(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\\' || c == '"') {
            result.push_back('\\');
        }
        result.push_back(c);
    }
    return result;
}

std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace

StoreKey productKey(const std::string& home, const std::string& local, const std::string& cd) {
    StoreKey key{"Software\\Tolvane Works\\Quillora", {}};
    const std::pair<const char*, const std::string*> values[] = {
        {kStoreHomeValue, &home}, {kStoreLocalValue, &local}, {kStoreCdValue, &cd}};
    for (const auto& [name, value] : values) {
        if (!value->empty()) {
            key.values.emplace_back(name, *value);
        }
    }
    return key;
}

std::vector<StoreKey> driveTable(const std::vector<Drive>& drives) {
    StoreKey types{"Software\\Wine\\Drives", {}};
    StoreKey folders{"Software\\Quillora\\DriveDirectories", {}};
    for (const Drive& drive : drives) {
        if (!drive.type.empty()) {
            types.values.emplace_back(drive.letter, drive.type);
        }
        if (!drive.directory.empty()) {
            folders.values.emplace_back(drive.letter, drive.directory);
        }
    }
    return {types, folders};
}

std::string storeText(const std::vector<StoreKey>& keys) {
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    for (const StoreKey& key : keys) {
        text += "[HKEY_LOCAL_MACHINE\\" + key.path + "]\r\n";
        for (const auto& [name, value] : key.values) {
            text += "\"" + escaped(name) + "\"=\"" + escaped(value) + "\"\r\n";
        }
        text += "\r\n";
    }
    return text;
}

TempLibrary::TempLibrary() : program(QUILLORA_UPDATE_EXE) {
    std::random_device random;
    fs::path base = fs::temp_directory_path();
    fs::path root;
    do {
        root = base / ("quillora-test-" + std::to_string(random()));
    } while (!fs::create_directory(root));
    root_ = root.string();
    fs::create_directories(root / "library");
    fs::create_directories(root / "home");
    environment["HOME"] = path("home");
    environment["QUILLORA_REGISTRY"] = path("registry.reg");
}

TempLibrary::~TempLibrary() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string TempLibrary::path(const std::string& relative) const {
    return relative.empty() ? root_ : root_ + "/" + relative;
}

void TempLibrary::write(const std::string& relative, const std::string& bytes) const {
    fs::path file = path(relative);
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string TempLibrary::read(const std::string& relative) const {
    return readWhole(path(relative));
}

bool TempLibrary::exists(const std::string& relative) const {
    return fs::exists(path(relative));
}

void TempLibrary::writeStore(const std::vector<StoreKey>& keys) const {
    write("registry.reg", storeText(keys));
}

void TempLibrary::installProgram(bool withResourceFile) {
    fs::path bin = path("bin");
    fs::create_directories(bin);
    fs::path copy = bin / fs::path(QUILLORA_UPDATE_EXE).filename();
    fs::copy_file(QUILLORA_UPDATE_EXE, copy, fs::copy_options::overwrite_existing);
    if (withResourceFile) {
        fs::copy_file(fs::path(QUILLORA_SOURCE_DIR) / "resources" / "KIVRes.rc", bin / "KIVRes.rc",
                      fs::copy_options::overwrite_existing);
    } else {
        fs::remove(bin / "KIVRes.rc");
    }
    program = copy.string();
}

RunResult TempLibrary::run(const std::vector<std::string>& args) const {
    return runTogether({args}).front();
}

std::vector<RunResult>
TempLibrary::runTogether(const std::vector<std::vector<std::string>>& argLists) const {
    std::string command;
    for (std::size_t i = 0; i < argLists.size(); ++i) {
        const std::string tag = "run" + std::to_string(i);
        command += "(cd " + quoted(path(workingDirectory)) + " && env -i";
        for (const auto& [name, value] : environment) {
            command += " " + quoted(name + "=" + value);
        }
        if (!runAs.empty()) {
            const std::string uid = runAs.substr(0, runAs.find(':'));
            const std::string gid = runAs.substr(runAs.find(':') + 1);
            command += " setpriv --reuid=" + uid + " --regid=" + gid + " --clear-groups";
        }
        command += " " + quoted(program);
        for (const std::string& arg : argLists[i]) {
            command += " " + quoted(arg);
        }
        command += " </dev/null >" + quoted(path(tag + ".out")) + " 2>" +
                   quoted(path(tag + ".err")) + "; echo $? >" + quoted(path(tag + ".status")) +
                   ") & ";
    }
    command += "wait";
    std::vector<RunResult> results(argLists.size());
    if (std::system(command.c_str()) != 0) {
        return results; // the shell itself failed
    }
    for (std::size_t i = 0; i < argLists.size(); ++i) {
        const std::string tag = "run" + std::to_string(i);
        results[i].status = std::atoi(read(tag + ".status").c_str());
        results[i].out = read(tag + ".out");
        results[i].err = read(tag + ".err");
    }
    return results;
}

} // namespace quillora::testing
