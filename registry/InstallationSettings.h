#pragma once

#include <string>

namespace quillora {

class LibraryCatalog;
class Installation;
class ResourceLibrary;

// String resources naming the registry values of the three directories.
constexpr unsigned kHomeValueNameId = 10248;
constexpr unsigned kLocalValueNameId = 10254;
constexpr unsigned kCdValueNameId = 10264;

// How reading the installation settings ended.
struct SettingsOutcome {
    // False when the home or local directory cannot be read: the run stops.
    bool runGoesOn = true;
    // What to print: why the run stops, or what it goes on without (a key
    // that can be neither opened nor created). Empty when all was read.
    std::string note;
};

// Reads the home, local and CD directories from the product's registry key into
// the catalogue. A directory that cannot be read keeps its value. resources may
// be null (the library could not be opened). A missing CD directory falls back
// to cdDrive where the caller has looked for the drive already, else to a scan.
SettingsOutcome readInstallationSettings(LibraryCatalog& catalog, const ResourceLibrary* resources,
                                         Installation& installation,
                                         const std::string* cdDrive = nullptr);

} // namespace quillora
