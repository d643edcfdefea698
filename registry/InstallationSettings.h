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

// Reads the home, local and CD directories from the product's registry key into
// the catalogue. False when the home or local directory cannot be read; then
// diagnostic says why. True with a diagnostic when the key can be neither
// opened nor created: the directories then stay as they were. resources may be
// null (the library could not be opened). A missing CD directory falls back to
// cdDrive where the caller has looked for the drive already, else to a scan.
bool readInstallationSettings(LibraryCatalog& catalog, const ResourceLibrary* resources,
                              Installation& installation, std::string& diagnostic,
                              const std::string* cdDrive = nullptr);

} // namespace quillora
