// The resource library "KIVRes" as its resource script, KIVRes.rc: the same
// source the Windows build compiles into KIVRes.dll. Only string tables are
// read; everything else in the script is passed over:
//
//   STRINGTABLE
//   BEGIN
//       10248 "HomeDirectory"
//   END
//
// Identifiers are decimal or 0x hexadecimal, optionally followed by a comma.
// Strings take "" for a quote and the escapes \\ \" \n \t \r \a. Comments
// (// and /* */) and preprocessor lines (#...) are skipped. The file may be
// 8-bit or UTF-16 LE with its mark.
#pragma once

#include "status/Status.h"

#include <map>
#include <string>

namespace quillora {

class ResourceScript {
public:
    // Fails, with the line and the reason, when text is no script this reader
    // understands.
    Status parse(const std::string& bytes);
    // False when the script has no string with that identifier.
    bool loadString(unsigned id, std::string& text) const;

private:
    std::map<unsigned, std::string> strings_;
};

} // namespace quillora
