// The line conventions every book data record shares: numbers followed by a tab,
// strings ended by a bar, the folding of flags and codes, the end of the line.
// Each record's own file lists its fields in order through these two classes.
#pragma once

#include "bookdata/BookDataFile.h"
#include "bookdata/LibraryEntry.h"
#include "bookdata/TypeCode.h"
#include "text/TextCursor.h"
#include "text/TextSink.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillora {

// The folding of flags and codes into an entry's fields, the same whichever
// reader below reads the numbers.
template <class Reader> class FieldFolding {
public:
    std::uint8_t lowByte() { return static_cast<std::uint8_t>(self().number() & 0xFF); }
    // Flags hold 1 exactly when the number is 1.
    std::int8_t flag() { return self().number() == 1 ? std::int8_t{1} : std::int8_t{0}; }
    // The active flag is set (-1) by any number but 0.
    std::int8_t active() { return self().number() != 0 ? std::int8_t{-1} : std::int8_t{0}; }
    std::uint8_t levelCode() {
        std::int32_t value = self().number();
        return value == 1 || value == 2 ? static_cast<std::uint8_t>(value) : std::uint8_t{0};
    }
    // Before version 7 the field holds a code rather than the bits themselves.
    std::uint8_t typeBits(std::int32_t fileVersion) {
        std::int32_t value = self().number();
        return fileVersion >= 7 ? static_cast<std::uint8_t>(value & 0xFF) : mapOldTypeCode(value);
    }

private:
    Reader& self() { return static_cast<Reader&>(*this); }
};

// Reads one record line field by field, with every rule of the format: a
// number may follow blank lines, a text may hold newlines. Once a field fails,
// the cursor stays failed, the remaining fields read as 0 and end() reports
// the failure.
class RecordReader : public FieldFolding<RecordReader> {
public:
    explicit RecordReader(TextCursor& in) : in_(in) {}

    // A number before the first string, then the one character after it (the tab).
    std::int32_t leadingNumber() {
        std::int32_t value = 0;
        in_.readInt32(value);
        in_.skipOne();
        return value;
    }
    std::uint32_t leadingUnsigned() {
        std::uint32_t value = 0;
        in_.readUInt32(value);
        in_.skipOne();
        return value;
    }

    // The characters up to the next bar, whatever their number; the bar is
    // dropped. The text is where they lie in the cursor's text; it is left as
    // it was when the cursor had already failed or ended.
    void text(EntryText& out) {
        std::string_view field;
        in_.readUntil(field, '|');
        // Without its bar the text was cut by the end of the input.
        inputEndedInText_ = inputEndedInText_ || in_.atEnd();
        if (field.data() != nullptr) {
            out.at = static_cast<std::uint32_t>(field.data() - in_.text().data());
            out.size = static_cast<std::uint32_t>(field.size());
        }
    }
    // One character, whatever it is (the tab before an optional last string).
    void skipOne() { in_.skipOne(); }

    // The numbers after the strings; the tabs between them are skipped as whitespace.
    std::int32_t number() {
        std::int32_t value = 0;
        in_.readInt32(value);
        inputEndedInNumber_ = in_.atEnd();
        return value;
    }

    // Drops what is left of the line (a tab at most in a well-formed one) with
    // its newline; true when every field could be read. A tab follows every
    // number of these lines, so input that ends right after one was cut inside
    // it; a bar ends every text, so one that the end of the input ends was cut.
    bool end() { return endWithNumber() && !inputEndedInNumber_ && !inputEndedInText_; }
    // The same for a line whose last number ends it (the G line): the end of
    // the input may follow that number.
    bool endWithNumber() {
        in_.ignore(kRestOfLine, '\n');
        return !in_.failed();
    }

    // What end() drops at most.
    static constexpr std::size_t kRestOfLine = 10;

private:
    TextCursor& in_;
    bool inputEndedInNumber_ = false;
    bool inputEndedInText_ = false;
};

// The first bar from p on, or end: sixteen characters at a time where SSE2 is
// at hand (every x86-64), as the texts of a line are found.
inline const char* findBar(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i bar = _mm_set1_epi8('|');
    for (; end - p >= 16; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, bar));
        if (hits != 0) {
            return p + __builtin_ctz(static_cast<unsigned>(hits));
        }
    }
#endif
    while (p < end && *p != '|') {
        ++p;
    }
    return p;
}

// Reads a line as RecordReader does, field for field, but in one pass over
// the characters, without the cursor's checks of its state at every field.
// What needs the cursor's rules it leaves to RecordReader: the end of the
// text, and any number but one to nine digits after an optional minus. There
// it gives up: end() is then false, the cursor has not moved, and the line is
// read again from its start by RecordReader.
class QuickLineReader : public FieldFolding<QuickLineReader> {
public:
    explicit QuickLineReader(TextCursor& in)
        : in_(in), base_(in.text().data()), p_(base_ + in.position()),
          end_(base_ + in.text().size()), ok_(in.good()) {}

    std::int32_t leadingNumber() {
        const std::int32_t value = number();
        skipOne();
        return value;
    }
    std::uint32_t leadingUnsigned() {
        skipBlanks();
        const std::uint32_t value = roomForNumber() ? digits() : 0;
        skipOne();
        return value;
    }
    void text(EntryText& out) {
        const char* bar = findBar(p_, end_);
        ok_ = ok_ && bar != end_;
        if (ok_) {
            out.at = static_cast<std::uint32_t>(p_ - base_);
            out.size = static_cast<std::uint32_t>(bar - p_);
            p_ = bar + 1;
        }
    }
    void skipOne() {
        ok_ = ok_ && p_ < end_;
        p_ += ok_ ? 1 : 0;
    }
    std::int32_t number() {
        skipBlanks();
        if (!roomForNumber()) {
            return 0;
        }
        const bool negative = *p_ == '-';
        p_ += negative ? 1 : 0;
        const auto magnitude = static_cast<std::int32_t>(digits());
        return negative ? -magnitude : magnitude;
    }
    // Moves the cursor past the line's newline when the whole line was read.
    bool end() {
        const auto left = static_cast<std::size_t>(end_ - p_);
        const char* const stop = p_ + std::min(left, RecordReader::kRestOfLine);
        const char* newline = p_;
        while (newline < stop && *newline != '\n') {
            ++newline;
        }
        if (!ok_ || newline == stop) {
            return false;
        }
        in_.skipTo(static_cast<std::size_t>(newline + 1 - base_));
        return true;
    }
    bool endWithNumber() { return end(); }

private:
    void skipBlanks() {
        while (p_ < end_ && isSpace(static_cast<unsigned char>(*p_))) {
            ++p_;
        }
    }
    // A sign, nine digits and the character after them lie before the end of
    // the text, so that they are read without a test against it.
    bool roomForNumber() {
        ok_ = ok_ && end_ - p_ >= 11;
        return ok_;
    }
    // One to nine digits; most fields hold one or two.
    std::uint32_t digits() {
        const char* const first = p_;
        std::uint32_t value = 0;
        for (unsigned digit; (digit = static_cast<unsigned>(*p_ - '0')) < 10u; ++p_) {
            if (p_ - first == 9) {
                ok_ = false;
                return 0;
            }
            value = value * 10u + digit;
        }
        ok_ = ok_ && p_ != first;
        return value;
    }

    TextCursor& in_;
    const char* const base_;
    const char* p_;
    const char* const end_;
    bool ok_;
};

// Reads one record line with fields(line), which reads the line's fields in
// order from either reader and ends with its end() or endWithNumber(): the
// quick reader first, the careful one when the quick one gives up.
template <class Fields> bool readRecordLine(TextCursor& in, Fields fields) {
    QuickLineReader quick(in);
    if (fields(quick)) {
        return true;
    }
    RecordReader careful(in);
    return fields(careful);
}

// Writes one record line: the tag and a tab, then the fields in order, ended
// by end() or endWithNumber(). The fields go straight into the sink's room,
// which is claimed for many at a time.
class RecordWriter {
public:
    RecordWriter(TextSink& out, char tag, const LibraryEntry& entry)
        : out_(out), file_(entry.owner) {
        at_ = out_.claim(TextSink::kNumberRoom, limit_);
        *at_++ = tag;
        *at_++ = '\t';
    }

    // A number and its tab. Byte fields arrive here promoted, as their decimal value.
    RecordWriter& number(std::int32_t value) {
        signedNumber(value);
        *at_++ = '\t';
        return *this;
    }
    RecordWriter& number(std::uint32_t value) {
        ensure(TextSink::kNumberRoom);
        at_ = formatDecimal(at_, value);
        *at_++ = '\t';
        return *this;
    }
    // A string as it is, then its bar.
    RecordWriter& text(EntryText value) {
        const std::string_view text = file_ != nullptr ? file_->text(value) : std::string_view();
        ensure(text.size() + 1);
        copyText(at_, text.data(), text.size());
        at_ += text.size();
        *at_++ = '|';
        return *this;
    }
    void end() {
        ensure(1);
        *at_++ = '\n';
        out_.commit(at_);
    }
    // A line whose last number has no tab after it.
    void endWithNumber(std::int32_t value) {
        signedNumber(value);
        *at_++ = '\n';
        out_.commit(at_);
    }

private:
    void ensure(std::size_t n) {
        if (static_cast<std::size_t>(limit_ - at_) < n) {
            out_.commit(at_);
            at_ = out_.claim(n, limit_);
        }
    }
    void signedNumber(std::int32_t value) {
        ensure(TextSink::kNumberRoom);
        at_ = formatSignedDecimal(at_, value);
    }

    TextSink& out_;
    const BookDataFile* file_;
    char* at_;
    char* limit_;
};

} // namespace quillora
