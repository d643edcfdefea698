// Path macros: "$+NAME." tokens standing for identity values and installation
// directories; expanding and abbreviating the directory ones.
#pragma once

#include "text/AsciiCase.h"

#include <string>

namespace quillora {

namespace token {
constexpr const char* Cd = "$+CD.";
constexpr const char* Home = "$+HOME.";
constexpr const char* Local = "$+LOCAL.";
constexpr const char* Product = "$+PRODUCT.";
constexpr const char* Program = "$+PROGRAM.";
constexpr const char* Vendor = "$+VENDOR.";
constexpr const char* Owner = "$+OWNER.";
constexpr const char* Company = "$+COMPANY.";
constexpr const char* Contact = "$+CONTACT.";
} // namespace token

// The token table: the nine tokens in order; the first three stand for the
// catalogue's directories, the other six for the identity slots 1 to 6.
constexpr const char* kMacroTokens[9] = {token::Cd,      token::Home,    token::Local,
                                         token::Product, token::Program, token::Vendor,
                                         token::Owner,   token::Company, token::Contact};

// Replaces the first case-insensitive occurrence of search in text. An empty
// search text leaves the text unchanged.
std::string replaceFirst(const std::string& text, const std::string& search,
                         const std::string& replacement);
std::string expandProgramMacro(const std::string& text);
std::string expandCompanyMacro(const std::string& text);
// "$", "+", then a "." somewhere after the "+".
bool isMacroPath(const std::string& text);

// The installation's directories that "$+HOME.", "$+CD." and "$+LOCAL." stand for.
struct InstallDirectories {
    std::string home;
    std::string cd;
    std::string local;
};

// Expands the first "$+CD.", then "$+HOME.", then "$+LOCAL." of a path.
std::string expandDirectoryMacros(const std::string& path, const InstallDirectories& directories);
// The inverse: a leading home, then CD, then local directory becomes its macro;
// a directory with an empty value is skipped.
std::string abbreviatePath(const std::string& path, const InstallDirectories& directories);

} // namespace quillora
