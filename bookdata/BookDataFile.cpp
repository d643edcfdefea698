// Placeholder until the book data file lands.
#include "catalog/LibraryCatalog.h"
#include "catalog/Package.h"

namespace quillora {

ResultCode Package::load(Platform&) { return result::BadMagic; }
ResultCode Package::save(Platform&) { return result::WriteFailed; }
void Package::clear() {
    rootEntries.removeAll();
    allEntries.removeAll();
    loaded = false;
    modified = true;
}
void Package::addEntry(LibraryEntry* entry) { allEntries.append(std::unique_ptr<LibraryEntry>(entry)); }
std::string Package::resolveDataFilePath(const std::string& location) const { return location; }
ResultCode Package::readHeader(TextCursor&, std::int32_t&) { return result::BadMagic; }
ResultCode Package::writeHeader(TextSink&) const { return result::WriteFailed; }
ResultCode Package::readEntries(TextCursor&, std::int32_t) { return result::BadMagic; }
ResultCode Package::writeEntries(TextSink&) const { return result::WriteFailed; }

} // namespace quillora
