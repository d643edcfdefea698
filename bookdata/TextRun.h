// Where a record's texts lie, in a few bytes: a large file has hundreds of
// thousands of records, and most of them are short.
#pragma once

#include "bookdata/LibraryEntry.h"

#include <cstddef>
#include <cstdint>

namespace quillora {

class BookDataFile;

// A record's texts follow one another on its line, each ended by a bar, so the
// position of the first and a byte for each text say where all of them are:
// the text's length and its bar, or 0 for a text that the line lacks. A gap
// slot holds instead how many characters lie before the next text (the
// numbers before a book's extra text). The slots are a kind's texts in the
// order of its line; the position and the bytes belong to the entry.
//
// Texts that do not fit so (one of 254 characters or more, a longer gap, a
// text made by hand) are kept as an EntryText per slot among the file's
// texts; the position then says where those are, with kWide set.
class TextRun {
public:
    static constexpr std::uint32_t kWide = std::uint32_t{1} << 31;
    static constexpr std::size_t kMaxSlots = 9;
    static constexpr std::uint32_t kLongestSpan = 255;

    TextRun(std::uint32_t at, const std::uint8_t* spans, std::size_t slots)
        : at_(at), spans_(spans), slots_(slots) {}

    bool wide() const { return (at_ & kWide) != 0; }
    // Where the text of a slot is; empty for an entry of no file.
    EntryText text(std::size_t slot, const BookDataFile* file) const;
    // Every slot's text into texts (kMaxSlots of room).
    void expand(EntryText* texts, const BookDataFile* file) const;

    // Keeps an entry's texts, slot by slot, among its file's texts; without a
    // file, it has none.
    static void keepApart(std::uint32_t& at, std::uint8_t* spans, std::size_t slots,
                          const EntryText* texts, BookDataFile* file);

private:
    std::uint32_t at_;
    const std::uint8_t* spans_;
    std::size_t slots_;
};

} // namespace quillora
