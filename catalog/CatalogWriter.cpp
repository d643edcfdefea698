#include "catalog/CatalogBody.h"
#include "catalog/LibraryCatalog.h"
#include "platform/FileStage.h"
#include "status/Diagnostic.h"
#include "text/TextSink.h"

namespace quillora {

namespace {

void writeKey(TextSink& out, bool hasKey, const char* key, const std::string& value) {
    if (hasKey) {
        out.text(key).text(value).newline();
    }
}

} // namespace

void CatalogBody::writeBody(TextSink& out, std::uint32_t version) const {
    for (const Category* category : categories) {
        category->write(out);
    }
    for (const Package* package : packages) {
        // A section without a name could not be read back as the same package.
        if (package->name.empty()) {
            out.newline();
            continue;
        }
        out.ch('[').text(package->name).ch(':').text(package->qualifier).ch(']').newline();
        out.text(package->dataFileLocation).newline();
        out.text(package->secondPath).newline();
        out.u32(package->number).tab().text(package->active ? "active" : "deleted").newline();
        for (const PackageItem* item : package->items) {
            item->write(out, version);
        }
        out.newline();
    }
}

std::string LibraryCatalog::formatCatalog() const {
    TextSink out;
    out.text("Version ").u32(formatVersion).newline();
    // Always this order, whatever the order they were read in.
    writeKey(out, hasWelcome, "WELCOME=", welcome);
    writeKey(out, hasMode, "MODE=", mode);
    writeKey(out, hasInit, "INIT=", init);
    for (const SearchEntry* search : searches) {
        out.text("SEARCH=").text(search->text1).bar().text(search->text2).bar();
        out.ch(search->flag ? 'T' : 'F').bar().newline();
    }
    out.text("[Categories]").newline();
    body.writeBody(out, formatVersion);
    return out.take();
}

Status LibraryCatalog::writeCatalog(FileStage& stage) {
    // Back to the file that was read, with its line ends.
    const ResolvedPath target = openedPath.empty() ? stage.resolve(catalogFileName) : openedPath;
    const std::string bytes = encodeText(formatCatalog(), lineEnding);
    const Status written = stage.stage(target, wholeContent(bytes));
    if (!written) {
        return Status::formatResult(
            result::CatalogWriteFailed,
            diagnosticAt(target.text(), "cannot write the file: " + written.reason()));
    }
    return Status();
}

} // namespace quillora
