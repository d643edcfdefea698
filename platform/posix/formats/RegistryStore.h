// HKEY_LOCAL_MACHINE kept in one text file in the format regedit exports:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Tolvane Works\Quillora]
//   "HomeDirectory"="/srv/library"
//
// The file is kept line by line, so that writing it back changes nothing but
// the keys added: other roots, other value types, comments and line ends stay
// as they were. Read in UTF-16 LE with its mark (as regedit writes it) or in
// the 8-bit form, and written back in the form that was read.
#pragma once

#include "status/Status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillora {

// A value as RegQueryValueExA hands it out: string types as 8-bit text with
// their terminating zero, other types as their raw bytes.
struct RegistryValue {
    std::uint32_t type = 0;
    std::string data;
};

class RegistryStore {
public:
    // An empty registry; written as an 8-bit file with LF line ends.
    RegistryStore() = default;

    // Reads a whole store file. An empty file is an empty registry. Fails, with
    // the line and the reason, when it is not a regedit export.
    Status parse(const std::string& bytes);
    // The file's bytes in the form that was read.
    std::string serialize() const;

    // Key paths are relative to HKEY_LOCAL_MACHINE and compared without regard
    // to case. A key exists when it has a section of its own or lies above one
    // (regedit leaves such parents out); the empty path is the root itself.
    bool hasKey(const std::string& path) const;
    // The empty name is the key's default value (@). The last definition wins,
    // as when regedit imports the file.
    bool findValue(const std::string& keyPath, const std::string& name, RegistryValue& value) const;
    // The names and values of a key's string values, in file order.
    std::vector<std::pair<std::string, std::string>> stringValues(const std::string& keyPath) const;
    // Appends an empty section for path (spelt as given).
    void addKey(const std::string& path);

private:
    struct Line {
        std::string text;
        std::string end; // "\r\n", "\n" or "" (the last line without one)
    };
    struct Section {
        std::string key;       // lower case, relative to HKEY_LOCAL_MACHINE
        std::size_t first = 0; // first line after the key line
        std::size_t last = 0;  // one past the section's last line
    };
    struct ParsedValue {
        std::string name;
        bool deleted = false;
        RegistryValue value;
    };

    void index();
    // Joins the value line at i with its continuation lines; sets next.
    std::string logicalLine(std::size_t i, std::size_t& next) const;
    bool parseValue(const std::string& line, ParsedValue& parsed) const;
    template <typename Visit> void forEachValue(const std::string& keyPath, Visit visit) const;

    std::vector<Line> lines_;
    std::vector<Section> sections_;
    std::string mark_; // byte-order mark read, written back as it was
    bool utf16_ = false;
    bool version5_ = true; // "REGEDIT4" files hold 8-bit string data in hex(...)
    std::string newLine_ = "\n";
};

} // namespace quillora
