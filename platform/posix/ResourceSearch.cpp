// Opening a resource library by name: its script NAME.rc (any case) in the
// first of the resource folders that holds one.
#include "platform/posix/PathMapping.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixPlatform.h"
#include "platform/posix/formats/ResourceScript.h"

#include <sys/stat.h>

namespace quillora {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

class ScriptLibrary : public ResourceLibrary {
public:
    explicit ScriptLibrary(ResourceScript script) : script_(std::move(script)) {}
    bool loadString(unsigned id, std::string& text) const override {
        return script_.loadString(id, text);
    }

private:
    ResourceScript script_;
};

} // namespace

Expected<std::unique_ptr<ResourceLibrary>>
PosixPlatform::openResourceLibrary(const std::string& name) {
    std::string base = name;
    if (base.size() > 4 && base.compare(base.size() - 4, 4, ".dll") == 0) {
        base.erase(base.size() - 4); // the name as LoadLibrary takes it
    }
    const std::string fileName = base + ".rc";
    const std::vector<std::string>& folders = settings_.resourceFolders;
    for (const std::string& folder : folders) {
        std::string path = matchPathNoCase(folder + "/" + fileName);
        if (!isRegularFile(path)) {
            continue;
        }
        // The first one found is the library, even when it is broken.
        Expected<std::string> bytes = readHostFile(path);
        if (!bytes) {
            return bytes.status();
        }
        ResourceScript script;
        const Status parsed = script.parse(*bytes);
        if (!parsed) {
            return Status::failed(path + ": " + parsed.reason());
        }
        return std::unique_ptr<ResourceLibrary>(std::make_unique<ScriptLibrary>(std::move(script)));
    }
    std::string searched;
    for (const std::string& folder : folders) {
        searched += (searched.empty() ? "" : ", ") + folder;
    }
    return Status::failed(
        fileName + " is in none of the folders searched (QUILLORA_RESOURCE_PATH, beside " +
        "the program, ../share/quillora): " + (searched.empty() ? "none" : searched));
}

} // namespace quillora
