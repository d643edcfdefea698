#include "registry/InstallationSettings.h"

#include "catalog/LibraryCatalog.h"
#include "platform/Platform.h"
#include "product/CdDrive.h"
#include "registry/Registry.h"

namespace quillora {

namespace {

// Reads one directory value; the value's name comes from the resource library.
bool readDirectory(RegistryKey& key, const ResourceLibrary* resources, unsigned nameId,
                   std::string& directory, std::string& why) {
    std::string valueName;
    if (resources == nullptr || !resources->loadString(nameId, valueName)) {
        why = "no value name for string resource " + std::to_string(nameId) +
              (resources == nullptr ? " (resource library KIVRes not open)" : "");
        return false;
    }
    char buffer[260] = "";
    std::uint32_t size = sizeof buffer;
    long status = key.queryString(valueName.c_str(), buffer, &size);
    if (status != kErrorSuccess) {
        why = "cannot read registry value \"" + valueName + "\" (status " +
              std::to_string(status) + ")";
        return false;
    }
    directory = buffer;
    return true;
}

} // namespace

bool readInstallationSettings(LibraryCatalog& catalog, const ResourceLibrary* resources,
                              Platform& platform, std::string& diagnostic) {
    bool result = true;
    RegistryKey key(platform, hkeyLocalMachine(), catalog.registryKeyPath.c_str(), kKeyReadWrite,
                    true);
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
            catalog.cdDirectory = findCdDrive(platform);
        }
        if (!result) {
            diagnostic = "HKEY_LOCAL_MACHINE\\" + catalog.registryKeyPath + ": " + diagnostic;
        }
    }
    key.close();
    return result;
}

} // namespace quillora
