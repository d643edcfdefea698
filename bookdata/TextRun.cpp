#include "bookdata/TextRun.h"

#include "bookdata/BookDataFile.h"

#include <algorithm>

namespace quillora {

EntryText TextRun::text(std::size_t slot, const BookDataFile* file) const {
    if (file == nullptr) {
        return {};
    }
    if (wide()) {
        return file->wideText(at_ & ~kWide, slot);
    }
    std::uint32_t at = at_;
    for (std::size_t i = 0; i < slot; ++i) {
        at += spans_[i];
    }
    return {at, spans_[slot] != 0 ? spans_[slot] - 1u : 0u};
}

void TextRun::expand(EntryText* texts, const BookDataFile* file) const {
    for (std::size_t i = 0; i < slots_; ++i) {
        texts[i] = text(i, file);
    }
}

void TextRun::keepApart(std::uint32_t& at, std::uint8_t* spans, std::size_t slots,
                        const EntryText* texts, BookDataFile* file) {
    if (file == nullptr) {
        at = 0;
        std::fill(spans, spans + slots, std::uint8_t{0});
        return;
    }
    at = file->keepTexts(texts, slots) | kWide;
}

} // namespace quillora
