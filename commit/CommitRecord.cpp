#include "commit/CommitRecord.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace quillora {

namespace {

constexpr const char* kMagic = "quillora-update commit record 2";

// The digits of %XX, upper case only: a record is only ever written so.
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

std::string encodePath(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || byte == '%') {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

bool decodePath(const std::string& text, std::string& path) {
    path.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            path += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return false;
        }
        std::size_t high = kHexDigits.find(text[i + 1]);
        std::size_t low = kHexDigits.find(text[i + 2]);
        if (high == kHexDigits.npos || low == kHexDigits.npos) {
            return false;
        }
        path += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::string checksum(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

bool startsWith(const std::string& text, const char* prefix, std::string& rest) {
    std::string p(prefix);
    if (text.compare(0, p.size(), p) != 0) {
        return false;
    }
    rest = text.substr(p.size());
    return true;
}

bool parsePut(const std::string& rest, StagedEntry& entry) {
    std::size_t first = rest.find('\t');
    std::size_t second = first == std::string::npos ? first : rest.find('\t', first + 1);
    if (second == std::string::npos || rest.find('\t', second + 1) != std::string::npos) {
        return false;
    }
    entry.identity = rest.substr(0, first);
    return !entry.identity.empty() &&
           decodePath(rest.substr(first + 1, second - first - 1), entry.staged) &&
           decodePath(rest.substr(second + 1), entry.target) && !entry.staged.empty() &&
           !entry.target.empty();
}

} // namespace

std::string commitRecordStart(const std::string& token) {
    return std::string(kMagic) + "\ntoken " + token + "\n";
}

std::string commitRecordFolder(const std::string& folder, const std::string& identity) {
    return "folder " + identity + "\t" + encodePath(folder) + "\n";
}

std::string commitRecordEnd(const std::string& written, const std::vector<StagedEntry>& entries) {
    std::string lines;
    for (const StagedEntry& entry : entries) {
        lines += "put " + entry.identity + "\t" + encodePath(entry.staged) + "\t" +
                 encodePath(entry.target) + "\n";
    }
    return lines + "commit " + std::to_string(entries.size()) + " " + checksum(written + lines) +
           "\n";
}

CommitRecord parseCommitRecord(const std::string& bytes) {
    CommitRecord record;
    const std::string first = std::string(kMagic) + "\n";
    // A record cut short in its first line is still a record.
    if (bytes.compare(0, first.size(), first) != 0 && first.compare(0, bytes.size(), bytes) != 0) {
        record.foreign = true;
        return record;
    }
    std::size_t start = 0;
    std::size_t lineNumber = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            break; // a last line cut short counts for nothing
        }
        const std::string line = bytes.substr(start, end - start);
        const std::size_t lineStart = start;
        start = end + 1;
        std::string rest;
        if (lineNumber++ == 0) {
            if (line != kMagic) {
                return record;
            }
        } else if (startsWith(line, "token ", rest) && record.token.empty()) {
            if (rest.size() != 16 ||
                rest.find_first_not_of("0123456789abcdef") != std::string::npos) {
                return record;
            }
            record.token = rest;
        } else if (startsWith(line, "folder ", rest)) {
            RecordedFolder folder;
            const std::size_t tab = rest.find('\t');
            if (tab == 0 || tab == std::string::npos ||
                !decodePath(rest.substr(tab + 1), folder.path)) {
                return record;
            }
            folder.identity = rest.substr(0, tab);
            record.folders.push_back(folder);
        } else if (startsWith(line, "put ", rest)) {
            StagedEntry entry;
            if (!parsePut(rest, entry)) {
                return record;
            }
            record.entries.push_back(entry);
        } else if (startsWith(line, "commit ", rest)) {
            record.complete = start == bytes.size() && !record.token.empty() &&
                              rest == std::to_string(record.entries.size()) + " " +
                                          checksum(bytes.substr(0, lineStart));
            return record;
        } else {
            return record;
        }
    }
    return record;
}

std::string stagedNameMark(const std::string& token) {
    return ".quillora-" + token + "-";
}

bool isStagedNameOf(const std::string& staged, const std::string& target,
                    const std::string& token) {
    const std::string start = target + stagedNameMark(token);
    return !target.empty() && staged.size() == start.size() + kStagedNameDigits &&
           staged.compare(0, start.size(), start) == 0 &&
           staged.find_first_not_of("0123456789abcdef", start.size()) == std::string::npos;
}

} // namespace quillora
