// The real Win32 calls behind the platform interface.
#pragma once

#include "platform/Platform.h"

namespace quillora {

class WindowsPlatform : public Platform {
public:
    unsigned driveType(const std::string& root) override;
    std::string fullPath(const std::string& path) override;
    void splitPath(const std::string& path, std::string& drive, std::string& dir) override;
    long regOpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                      std::uint32_t samDesired, RegKey* result) override;
    long regCreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                        const char* keyClass, std::uint32_t options, std::uint32_t samDesired,
                        RegKey* result, std::uint32_t* disposition) override;
    long regQueryValueEx(RegKey key, const char* valueName, std::uint32_t* type,
                         unsigned char* data, std::uint32_t* size) override;
    long regCloseKey(RegKey key) override;
    std::unique_ptr<ResourceLibrary> openResourceLibrary(const std::string& name,
                                                         std::string& error) override;
    bool readFile(const std::string& name, FileBytes& out, std::string& error) override;
    bool writeTemporary(const std::string& temporaryPath, const std::string& resolvedPath,
                        const std::string& bytes, std::string& error) override;
    bool commitTemporary(const std::string& temporaryPath, const std::string& resolvedPath,
                         std::string& error) override;
    void discardTemporary(const std::string& temporaryPath) override;
};

} // namespace quillora
