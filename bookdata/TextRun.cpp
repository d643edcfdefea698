#include "bookdata/TextRun.h"

#include "bookdata/BookDataFile.h"

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

void TextRun::pack(std::uint32_t& at, std::uint8_t* spans, std::size_t slots,
                   const EntryText* texts, unsigned present, unsigned gaps, BookDataFile* file) {
    std::uint32_t first = 0;
    for (std::size_t i = 0; i < slots; ++i) {
        if ((present >> i & 1u) != 0) {
            first = texts[i].at;
            break;
        }
    }
    std::uint32_t next = first;
    bool fits = (first & kWide) == 0;
    for (std::size_t i = 0; i < slots; ++i) {
        std::uint32_t span = 0;
        if ((gaps >> i & 1u) != 0) {
            // What lies before the next text, when there is one.
            span = i + 1 < slots && (present >> (i + 1) & 1u) != 0 ? texts[i + 1].at - next : 0;
        } else if ((present >> i & 1u) != 0) {
            fits = fits && texts[i].at == next;
            span = texts[i].size + 1;
        }
        fits = fits && span <= kLongestSpan;
        spans[i] = static_cast<std::uint8_t>(span);
        next += span;
    }
    if (fits) {
        at = first;
        return;
    }
    EntryText kept[kMaxSlots] = {};
    for (std::size_t i = 0; i < slots; ++i) {
        if ((present >> i & 1u) != 0) {
            kept[i] = texts[i];
        }
    }
    if (file == nullptr) {
        at = 0;
        for (std::size_t i = 0; i < slots; ++i) {
            spans[i] = 0;
        }
        return;
    }
    at = file->keepTexts(kept, slots) | kWide;
}

} // namespace quillora
