// Placeholder until the record kinds land.
#include "bookdata/BookEntry.h"
#include "bookdata/ExtractGroupEntry.h"
#include "bookdata/ExtractSingleEntry.h"
#include "bookdata/GroupEntry.h"
#include "bookdata/ProgramEntry.h"

namespace quillora {
bool BookEntry::read(TextCursor&, std::int32_t) { return false; }
bool BookEntry::write(TextSink&, std::int32_t) const { return false; }
bool GroupEntry::read(TextCursor&, std::int32_t) { return false; }
bool GroupEntry::write(TextSink&, std::int32_t) const { return false; }
bool ProgramEntry::read(TextCursor&, std::int32_t) { return false; }
bool ProgramEntry::write(TextSink&, std::int32_t) const { return false; }
bool ExtractSingleEntry::read(TextCursor&, std::int32_t) { return false; }
bool ExtractSingleEntry::write(TextSink&, std::int32_t) const { return false; }
bool ExtractGroupEntry::read(TextCursor&, std::int32_t) { return false; }
bool ExtractGroupEntry::write(TextSink&, std::int32_t) const { return false; }
} // namespace quillora
