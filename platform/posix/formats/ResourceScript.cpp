#include "platform/posix/formats/ResourceScript.h"

#include "platform/posix/formats/Utf16Text.h"
#include "text/AsciiCase.h"

#include <cstdlib>
#include <vector>

namespace quillora {

namespace {

struct Token {
    enum Kind { Word, String, Punctuation } kind;
    std::string text;
    std::size_t line;
};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// Reads the string at s[i] (the opening quote); i ends after the closing one.
bool readString(const std::string& s, std::size_t& i, std::string& text, std::size_t& line) {
    text.clear();
    for (++i; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\n') {
            ++line;
        }
        if (c == '"') {
            if (i + 1 < s.size() && s[i + 1] == '"') {
                text.push_back('"');
                ++i;
                continue;
            }
            ++i;
            return true;
        }
        if (c == '\\' && i + 1 < s.size()) {
            static const std::string from = "\\\"ntra";
            static const std::string to = "\\\"\n\t\r\a";
            std::size_t k = from.find(s[i + 1]);
            if (k != std::string::npos) {
                text.push_back(to[k]);
                ++i;
                continue;
            }
        }
        text.push_back(c);
    }
    return false;
}

Expected<std::vector<Token>> tokenize(const std::string& s) {
    std::vector<Token> tokens;
    std::size_t line = 1;
    bool lineStart = true;
    for (std::size_t i = 0; i < s.size();) {
        char c = s[i];
        if (c == '\n') {
            ++line;
            ++i;
            lineStart = true;
        } else if (isSpace(c)) {
            ++i;
        } else if (c == '#' && lineStart) {
            i = s.find('\n', i) == std::string::npos ? s.size() : s.find('\n', i);
        } else if (s.compare(i, 2, "//") == 0) {
            i = s.find('\n', i) == std::string::npos ? s.size() : s.find('\n', i);
        } else if (s.compare(i, 2, "/*") == 0) {
            std::size_t end = s.find("*/", i + 2);
            if (end == std::string::npos) {
                return Status::failed("line " + std::to_string(line) + ": comment without its end");
            }
            for (std::size_t k = i; k < end; ++k) {
                line += s[k] == '\n' ? 1 : 0;
            }
            i = end + 2;
        } else if (c == '"' || ((c == 'L' || c == 'l') && i + 1 < s.size() && s[i + 1] == '"')) {
            Token token{Token::String, "", line};
            i += c == '"' ? 0 : 1;
            if (!readString(s, i, token.text, line)) {
                return Status::failed("line " + std::to_string(token.line) +
                                      ": string without its closing quote");
            }
            tokens.push_back(token);
            lineStart = false;
        } else if (c == ',' || c == '{' || c == '}') {
            tokens.push_back({Token::Punctuation, std::string(1, c), line});
            ++i;
            lineStart = false;
        } else {
            std::size_t start = i;
            while (i < s.size() && !isSpace(s[i]) && s[i] != '"' && s[i] != ',' && s[i] != '{' &&
                   s[i] != '}') {
                ++i;
            }
            tokens.push_back({Token::Word, s.substr(start, i - start), line});
            lineStart = false;
        }
    }
    return tokens;
}

bool readIdentifier(const std::string& word, unsigned& id) {
    if (word.empty() || word[0] < '0' || word[0] > '9') {
        return false;
    }
    char* end = nullptr;
    unsigned long n = std::strtoul(word.c_str(), &end, 0);
    if (*end != '\0' || n > 0xFFFF) {
        return false;
    }
    id = static_cast<unsigned>(n);
    return true;
}

bool isWord(const Token& token, const char* word) {
    return token.kind != Token::String && equalNoCase(token.text, word);
}

// The rest of a STRINGTABLE whose keyword is just before i; i moves past its END.
Status readStringTable(const std::vector<Token>& tokens, std::size_t& i,
                       std::map<unsigned, std::string>& strings) {
    auto fail = [](std::size_t line, const std::string& why) {
        return Status::failed("line " + std::to_string(line) + ": " + why);
    };
    const std::size_t tableLine = tokens[i - 1].line;
    // Optional statements (LANGUAGE, CHARACTERISTICS, ...) come before BEGIN.
    while (i < tokens.size() && !isWord(tokens[i], "BEGIN") && !isWord(tokens[i], "{")) {
        ++i;
    }
    if (i++ == tokens.size()) {
        return fail(tableLine, "STRINGTABLE without BEGIN");
    }
    while (true) {
        if (i == tokens.size()) {
            return fail(tableLine, "STRINGTABLE without END");
        }
        if (isWord(tokens[i], "END") || isWord(tokens[i], "}")) {
            ++i;
            return Status();
        }
        unsigned id = 0;
        if (tokens[i].kind != Token::Word || !readIdentifier(tokens[i].text, id)) {
            return fail(tokens[i].line, "expected a string identifier (0 to 65535), found \"" +
                                            tokens[i].text + "\"");
        }
        ++i;
        if (i < tokens.size() && isWord(tokens[i], ",")) {
            ++i;
        }
        if (i == tokens.size() || tokens[i].kind != Token::String) {
            return fail(tokens[i - 1].line,
                        "expected the string of identifier " + std::to_string(id));
        }
        if (!strings.emplace(id, tokens[i].text).second) {
            return fail(tokens[i].line, "string identifier " + std::to_string(id) + " twice");
        }
        ++i;
    }
}

} // namespace

Status ResourceScript::parse(const std::string& bytes) {
    strings_.clear();
    std::string text = bytes;
    if (startsWithUtf16LeBom(bytes) && !decodeUtf16Le(bytes.substr(2), text)) {
        return Status::failed("UTF-16 text with an odd number of bytes");
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text.erase(0, 3);
    }
    const Expected<std::vector<Token>> tokenized = tokenize(text);
    if (!tokenized) {
        return tokenized.status();
    }
    const std::vector<Token>& tokens = *tokenized;
    std::size_t i = 0;
    while (i < tokens.size()) {
        if (!isWord(tokens[i++], "STRINGTABLE")) {
            continue; // another kind of resource
        }
        Status table = readStringTable(tokens, i, strings_);
        if (!table) {
            strings_.clear();
            return table;
        }
    }
    return Status();
}

bool ResourceScript::loadString(unsigned id, std::string& text) const {
    auto it = strings_.find(id);
    if (it == strings_.end()) {
        return false;
    }
    text = it->second;
    return true;
}

} // namespace quillora
