#include "platform/posix/formats/RegistryStore.h"

#include "platform/posix/formats/Utf16Text.h"
#include "text/AsciiCase.h"

namespace quillora {

namespace {

constexpr const char* kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr const char* kVersion4Header = "REGEDIT4";
constexpr const char* kRootName = "HKEY_LOCAL_MACHINE";
constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";

constexpr std::uint32_t kRegSzType = 1;
constexpr std::uint32_t kRegExpandSzType = 2;
constexpr std::uint32_t kRegBinaryType = 3;
constexpr std::uint32_t kRegDwordType = 4;
constexpr std::uint32_t kRegMultiSzType = 7;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string trim(const std::string& s) {
    std::size_t a = 0;
    std::size_t b = s.size();
    while (a < b && isBlank(s[a])) {
        ++a;
    }
    while (b > a && isBlank(s[b - 1])) {
        --b;
    }
    return s.substr(a, b - a);
}

// Lower case, without trailing backslashes: the form keys are compared in.
std::string keyForm(const std::string& path) {
    std::string key = toLowerAscii(path);
    while (!key.empty() && key.back() == '\\') {
        key.pop_back();
    }
    return key;
}

// Reads a quoted text at s[i] (which is '"') with regedit's escapes \\ and \";
// any other backslash is taken as it stands. i ends after the closing quote.
bool readQuoted(const std::string& s, std::size_t& i, std::string& text) {
    text.clear();
    for (++i; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            ++i;
            return true;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            c = s[++i];
        }
        text.push_back(c);
    }
    return false;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = lowerAsciiChar(c);
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

bool readHexNumber(const std::string& s, std::uint32_t& number) {
    if (s.empty() || s.size() > 8) {
        return false;
    }
    number = 0;
    for (char c : s) {
        int d = hexDigit(c);
        if (d < 0) {
            return false;
        }
        number = number * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

// "00,4a, 3f" (blanks and continuation backslashes already removed or allowed).
bool readHexBytes(const std::string& s, std::string& bytes) {
    bytes.clear();
    std::string digits;
    for (std::size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == ',') {
            if (digits.empty() && i == s.size() && bytes.empty()) {
                return true; // no data at all
            }
            std::uint32_t b = 0;
            if (digits.size() > 2 || !readHexNumber(digits, b)) {
                return false;
            }
            bytes.push_back(static_cast<char>(b));
            digits.clear();
        } else if (!isBlank(s[i])) {
            digits.push_back(s[i]);
        }
    }
    return true;
}

std::string dwordBytes(std::uint32_t n) {
    std::string bytes;
    for (int k = 0; k < 4; ++k) {
        bytes.push_back(static_cast<char>((n >> (8 * k)) & 0xFF));
    }
    return bytes;
}

} // namespace

Status RegistryStore::parse(const std::string& bytes) {
    *this = RegistryStore();
    std::string text;
    if (startsWithUtf16LeBom(bytes)) {
        utf16_ = true;
        mark_ = kUtf16LeBom;
        if (!decodeUtf16Le(bytes.substr(2), text)) {
            return Status::failed("UTF-16 text with an odd number of bytes");
        }
    } else if (bytes.compare(0, 3, kUtf8Bom) == 0) {
        mark_ = kUtf8Bom;
        text = bytes.substr(3);
    } else {
        text = bytes;
    }
    newLine_.clear();
    for (std::size_t start = 0; start < text.size();) {
        std::size_t newline = text.find('\n', start);
        Line line;
        if (newline == std::string::npos) {
            line.text = text.substr(start);
            start = text.size();
        } else {
            std::size_t stop = newline;
            if (stop > start && text[stop - 1] == '\r') {
                --stop;
            }
            line.text = text.substr(start, stop - start);
            line.end = text.substr(stop, newline + 1 - stop);
            start = newline + 1;
            if (newLine_.empty()) {
                newLine_ = line.end;
            }
        }
        lines_.push_back(std::move(line));
    }
    if (newLine_.empty()) {
        newLine_ = utf16_ ? "\r\n" : "\n";
    }
    if (!lines_.empty()) {
        std::string header = trim(lines_[0].text);
        if (header == kVersion4Header) {
            version5_ = false;
        } else if (header != kVersion5Header) {
            lines_.clear();
            return Status::failed("line 1: not a regedit export (it must begin with \"" +
                                  std::string(kVersion5Header) + "\" or \"" + kVersion4Header +
                                  "\")");
        }
    }
    index();
    return Status();
}

std::string RegistryStore::serialize() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += line.end;
    }
    return mark_ + (utf16_ ? encodeUtf16Le(text) : text);
}

void RegistryStore::index() {
    sections_.clear();
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string line = trim(lines_[i].text);
        if (line.empty() || line[0] != '[') {
            continue;
        }
        if (inSection) {
            sections_.back().last = i;
        }
        std::size_t close = line.rfind(']');
        std::string path =
            line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        // "[-...]" deletes a key on import: it names no key here. Other roots
        // are kept in the file but are not ours.
        inSection = startsWithNoCase(path, kRootName) && (path.size() == 18 || path[18] == '\\');
        if (inSection) {
            Section section;
            section.key = keyForm(path.size() > 18 ? path.substr(19) : std::string());
            section.first = i + 1;
            sections_.push_back(section);
        }
    }
    if (inSection) {
        sections_.back().last = lines_.size();
    }
}

std::string RegistryStore::logicalLine(std::size_t i, std::size_t& next) const {
    std::string line = lines_[i].text;
    next = i + 1;
    // Long hex values go on over lines that end in a backslash and begin with
    // blanks.
    while (next < lines_.size()) {
        std::string body = trim(line);
        if (body.empty() || body.back() != '\\' || lines_[next].text.empty() ||
            !isBlank(lines_[next].text[0])) {
            break;
        }
        body.pop_back();
        line = body + trim(lines_[next].text);
        ++next;
    }
    return line;
}

namespace {

// A "hex:" or "hex(<type>):" value. Version 5 exports store string types in
// hex(...) as UTF-16 LE.
bool readHexValue(const std::string& data, bool version5, RegistryValue& value) {
    std::string lower = toLowerAscii(data);
    if (lower.compare(0, 3, "hex") != 0) {
        return false;
    }
    std::size_t colon = lower.find(':');
    if (colon == std::string::npos) {
        return false;
    }
    if (colon == 3) {
        value.type = kRegBinaryType;
    } else if (lower[3] != '(' || lower[colon - 1] != ')' ||
               !readHexNumber(lower.substr(4, colon - 5), value.type)) {
        return false;
    }
    if (!readHexBytes(data.substr(colon + 1), value.data)) {
        return false;
    }
    bool stringType =
        value.type == kRegSzType || value.type == kRegExpandSzType || value.type == kRegMultiSzType;
    std::string text;
    if (stringType && version5 && decodeUtf16Le(value.data, text)) {
        value.data = text;
    }
    return true;
}

} // namespace

bool RegistryStore::parseValue(const std::string& line, ParsedValue& parsed) const {
    std::string s = trim(line);
    std::size_t i = 0;
    if (s.empty()) {
        return false;
    }
    if (s[0] == '@') {
        parsed.name.clear();
        i = 1;
    } else if (s[0] != '"' || !readQuoted(s, i, parsed.name)) {
        return false; // a comment (";") or not a value line
    }
    while (i < s.size() && isBlank(s[i])) {
        ++i;
    }
    if (i >= s.size() || s[i] != '=') {
        return false;
    }
    std::string data = trim(s.substr(i + 1));
    parsed.deleted = false;
    RegistryValue& value = parsed.value;
    if (!data.empty() && data[0] == '"') {
        std::size_t at = 0;
        if (!readQuoted(data, at, value.data)) {
            return false;
        }
        value.type = kRegSzType;
        value.data.push_back('\0');
        return true;
    }
    if (data == "-") {
        parsed.deleted = true;
        return true;
    }
    std::string lower = toLowerAscii(data);
    if (lower.compare(0, 6, "dword:") == 0) {
        std::uint32_t n = 0;
        if (!readHexNumber(trim(data.substr(6)), n)) {
            return false;
        }
        value.type = kRegDwordType;
        value.data = dwordBytes(n);
        return true;
    }
    return readHexValue(data, version5_, value);
}

template <typename Visit>
void RegistryStore::forEachValue(const std::string& keyPath, Visit visit) const {
    const std::string key = keyForm(keyPath);
    for (const Section& section : sections_) {
        if (section.key != key) {
            continue;
        }
        std::size_t next = 0;
        for (std::size_t i = section.first; i < section.last; i = next) {
            ParsedValue parsed;
            if (parseValue(logicalLine(i, next), parsed)) {
                visit(parsed);
            }
        }
    }
}

bool RegistryStore::hasKey(const std::string& path) const {
    const std::string key = keyForm(path);
    if (key.empty()) {
        return true;
    }
    for (const Section& section : sections_) {
        if (section.key == key || section.key.compare(0, key.size() + 1, key + "\\") == 0) {
            return true;
        }
    }
    return false;
}

bool RegistryStore::findValue(const std::string& keyPath, const std::string& name,
                              RegistryValue& value) const {
    bool found = false;
    forEachValue(keyPath, [&](const ParsedValue& parsed) {
        if (equalNoCase(parsed.name, name)) {
            found = !parsed.deleted;
            value = parsed.value;
        }
    });
    return found;
}

std::vector<std::pair<std::string, std::string>>
RegistryStore::stringValues(const std::string& keyPath) const {
    std::vector<std::pair<std::string, std::string>> values;
    forEachValue(keyPath, [&](const ParsedValue& parsed) {
        if (!parsed.deleted && parsed.value.type == kRegSzType) {
            const std::string& data = parsed.value.data;
            values.emplace_back(parsed.name, data.substr(0, data.find('\0')));
        }
    });
    return values;
}

void RegistryStore::addKey(const std::string& path) {
    if (lines_.empty()) {
        lines_.push_back({kVersion5Header, newLine_});
    } else if (lines_.back().end.empty()) {
        lines_.back().end = newLine_;
    }
    if (!trim(lines_.back().text).empty()) {
        lines_.push_back({"", newLine_});
    }
    std::string name = path;
    while (!name.empty() && name.back() == '\\') {
        name.pop_back();
    }
    lines_.push_back({"[" + std::string(kRootName) + "\\" + name + "]", newLine_});
    lines_.push_back({"", newLine_});
    index();
}

} // namespace quillora
