#include "registry/InstallationSettings.h"

#include "catalog/LibraryCatalog.h"
#include "platform/Installation.h"
#include "product/CdDrive.h"
#include "registry/Registry.h"
#include "status/Status.h"

namespace quillora {

namespace {

constexpr std::uint32_t kValueRoom = 260;

// Reads one directory value; the value's name comes from the resource library.
Expected<std::string> readDirectory(RegistryKey& key, const ResourceLibrary* resources,
                                    unsigned nameId) {
    std::string valueName;
    if (resources == nullptr || !resources->loadString(nameId, valueName)) {
        return Status::failed("no value name: string resource " + std::to_string(nameId) +
                              (resources == nullptr
                                   ? " cannot be loaded (the resource library KIVRes is not open)"
                                   : " is missing from the resource library KIVRes"));
    }
    char buffer[kValueRoom] = "";
    std::uint32_t size = kValueRoom;
    long status = key.queryString(valueName.c_str(), buffer, &size);
    if (status != kErrorSuccess) {
        return Status::failed("cannot read the value \"" + valueName + "\" (status " +
                              std::to_string(status) +
                              (status == kErrorFileNotFound ? ": there is no such value)" : ")"));
    }
    return std::string(buffer);
}

std::string joined(const std::string& first, const char* separator, const std::string& second) {
    return first.empty() ? second : second.empty() ? first : first + separator + second;
}

} // namespace

SettingsOutcome readInstallationSettings(LibraryCatalog& catalog, const ResourceLibrary* resources,
                                         Installation& installation, const std::string* cdDrive) {
    Expected<std::unique_ptr<RegistryKey>> key =
        RegistryKey::hold(installation, catalog.registryKeyPath.c_str(), true);
    // The key, with where the registry is kept and why the key is not held.
    std::string where = "HKEY_LOCAL_MACHINE\\" + catalog.registryKeyPath;
    const std::string location = installation.registryLocation();
    const std::string details = key ? joined(location, "; ", (*key)->note())
                                    : joined(location, ": ", key.status().reason());
    if (!details.empty()) {
        where += " (" + details + ")";
    }
    if (!key) {
        if (key.status().failure() == Failure::Misconfigured) {
            // Not a lack of rights but a mistake in the setup: going on would
            // update the library with the wrong directories.
            return {false, where + ": the registry cannot be used"};
        }
        // Not a failure: the run goes on with what the program's location gave.
        return {true, where + " can be neither opened nor created; going on with the home and " +
                          "local directory " + catalog.homeDirectory + " and no CD directory"};
    }
    std::string unread;
    if (Expected<std::string> home = readDirectory(**key, resources, kHomeValueNameId)) {
        catalog.homeDirectory = *home;
    } else {
        unread = "home directory: " + home.status().reason();
    }
    if (Expected<std::string> local = readDirectory(**key, resources, kLocalValueNameId)) {
        catalog.localDirectory = *local;
    } else {
        unread = joined(unread, "; ", "local directory: " + local.status().reason());
    }
    if (Expected<std::string> cd = readDirectory(**key, resources, kCdValueNameId)) {
        catalog.cdDirectory = *cd;
    } else {
        catalog.cdDirectory = cdDrive != nullptr ? *cdDrive : findCdDrive(installation);
    }
    if (!unread.empty()) {
        return {false, where + ": " + unread};
    }
    return {};
}

} // namespace quillora
