#include "registry/InstallationSettings.h"

#include "catalog/LibraryCatalog.h"
#include "platform/Installation.h"
#include "product/CdDrive.h"
#include "registry/Registry.h"

namespace quillora {

namespace {

constexpr std::uint32_t kValueRoom = 260;

// Reads one directory value; the value's name comes from the resource library.
// The directory is left as it was when the value cannot be read.
bool readDirectory(RegistryKey& key, const ResourceLibrary* resources, unsigned nameId,
                   std::string& directory, std::string& why) {
    std::string valueName;
    if (resources == nullptr || !resources->loadString(nameId, valueName)) {
        why = "no value name: string resource " + std::to_string(nameId) +
              (resources == nullptr ? " cannot be loaded (the resource library KIVRes is not open)"
                                    : " is missing from the resource library KIVRes");
        return false;
    }
    char buffer[kValueRoom] = "";
    std::uint32_t size = kValueRoom;
    long status = key.queryString(valueName.c_str(), buffer, &size);
    if (status != kErrorSuccess) {
        why = "cannot read the value \"" + valueName + "\" (status " + std::to_string(status) +
              (status == kErrorFileNotFound ? ": there is no such value)" : ")");
        return false;
    }
    directory = buffer;
    return true;
}

} // namespace

bool readInstallationSettings(LibraryCatalog& catalog, const ResourceLibrary* resources,
                              Installation& installation, std::string& diagnostic,
                              const std::string* cdDrive) {
    diagnostic.clear();
    bool result = true;
    RegistryKey key(installation, catalog.registryKeyPath.c_str(), true);
    std::string where = "HKEY_LOCAL_MACHINE\\" + catalog.registryKeyPath;
    std::string note = installation.registryNote();
    if (!note.empty()) {
        where += " (" + note + ")";
    }
    if (key.isOpen()) {
        std::string why;
        if (!readDirectory(key, resources, kHomeValueNameId, catalog.homeDirectory, why)) {
            result = false;
            diagnostic = "home directory: " + why;
        }
        if (!readDirectory(key, resources, kLocalValueNameId, catalog.localDirectory, why)) {
            diagnostic += (result ? "" : "; ") + std::string("local directory: ") + why;
            result = false;
        }
        if (!readDirectory(key, resources, kCdValueNameId, catalog.cdDirectory, why)) {
            catalog.cdDirectory = cdDrive != nullptr ? *cdDrive : findCdDrive(installation);
        }
        if (!result) {
            diagnostic = where + ": " + diagnostic;
        }
    } else if (key.openStatus() == kErrorBadConfiguration) {
        // Not a lack of rights but a mistake in the setup: going on would update
        // the library with the wrong directories.
        result = false;
        diagnostic = where + ": the registry cannot be used";
    } else {
        // Not a failure: the run goes on with what the program's location gave.
        diagnostic = where + " can be neither opened nor created; going on with the home and " +
                     "local directory " + catalog.homeDirectory + " and no CD directory";
    }
    key.close();
    return result;
}

} // namespace quillora
