// The line conventions every book data record shares: numbers followed by a tab,
// strings ended by a bar, the folding of flags and codes, the end of the line.
// Each record's own file lists its fields in order through these two classes.
#pragma once

#include "bookdata/BookDataFile.h"
#include "bookdata/LibraryEntry.h"
#include "bookdata/TextRun.h"
#include "bookdata/TypeCode.h"
#include "text/TextCursor.h"
#include "text/TextSink.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <type_traits>
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

// The bars among the kBarWindow characters from p, a bit each (0 where SSE2
// is not at hand): found before a line's fields are read, so that each text
// ends at the next bit, rather than at a search that waits for where the
// last field ended.
constexpr std::size_t kBarWindow = 64;
inline std::uint64_t barsFrom(const char* p) {
    std::uint64_t bars = 0;
#if defined(__SSE2__)
    const __m128i bar = _mm_set1_epi8('|');
    for (std::size_t i = 0; i < kBarWindow; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, bar)));
        bars |= static_cast<std::uint64_t>(hits) << i;
    }
#else
    (void)p;
#endif
    return bars;
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
          end_(base_ + in.text().size()), window_(p_),
          bars_(end_ - p_ >= static_cast<std::ptrdiff_t>(kBarWindow) ? barsFrom(p_) : 0),
          ok_(in.good()) {}

    std::int32_t leadingNumber() {
        const std::int32_t value = number();
        skipOne();
        return value;
    }
    std::uint32_t leadingUnsigned() {
        std::uint32_t value = 0;
        if (!shortNumber<false>(value)) {
            skipBlanks();
            value = roomForNumber() ? digits() : 0;
        }
        skipOne();
        return value;
    }
    // Once the line has failed, what its fields read is never used: the
    // careful reader reads the line again. Only the position must stay within
    // the text.
    void text(EntryText& out) {
        const char* bar = nextBar();
        const bool found = bar != end_;
        ok_ &= found;
        out.at = static_cast<std::uint32_t>(p_ - base_);
        out.size = static_cast<std::uint32_t>(bar - p_);
        p_ = found ? bar + 1 : p_;
    }
    void skipOne() {
        const bool room = p_ < end_;
        ok_ &= room;
        p_ += room ? 1 : 0;
    }
    std::int32_t number() {
        std::int32_t value = 0;
        if (shortNumber<true>(value)) {
            return value;
        }
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
    // The digit's value, or 10 or more for any other character.
    static unsigned digitValue(char c) {
        return static_cast<unsigned>(static_cast<unsigned char>(c)) - '0';
    }
    // The first bar from the position on: from the line's window when it
    // holds one, else searched.
    const char* nextBar() const {
        const auto offset = static_cast<std::size_t>(p_ - window_);
        const std::uint64_t ahead = offset < kBarWindow ? bars_ >> offset : 0;
        return ahead != 0 ? p_ + __builtin_ctzll(ahead) : findBar(p_, end_);
    }
    // Most numbers are one to four digits, or -1 and the like (signed numbers
    // only), after at most a tab: those are read without the loops, and
    // anything else leaves the position where it was. The room asked for is
    // what the loops ask.
    template <bool kSigned, class Number> bool shortNumber(Number& value) {
        if (end_ - p_ < 12) {
            return false;
        }
        // A branch rather than a select: each field's tab is there or not line
        // after line, and a start selected by it would make every load of the
        // digits wait for the load of the tab.
        if (*p_ == '\t') {
            return shortNumberAt<kSigned, 1>(value);
        }
        return shortNumberAt<kSigned, 0>(value);
    }
    template <bool kSigned, std::size_t kStart, class Number>
    [[gnu::always_inline]] bool shortNumberAt(Number& value) {
        const char* const at = p_ + kStart;
        const unsigned first = digitValue(at[0]);
        if (first >= 10) {
            if constexpr (kSigned) {
                const unsigned digit = digitValue(at[1]);
                if (at[0] == '-' && digit < 10 && digitValue(at[2]) >= 10) {
                    p_ = at + 2;
                    value = -static_cast<std::int32_t>(digit);
                    return true;
                }
            }
            return false;
        }
        const unsigned second = digitValue(at[1]);
        if (second >= 10) {
            p_ = at + 1;
            value = static_cast<Number>(first);
            return true;
        }
        const unsigned third = digitValue(at[2]);
        if (third >= 10) {
            p_ = at + 2;
            value = static_cast<Number>(first * 10 + second);
            return true;
        }
        const unsigned fourth = digitValue(at[3]);
        if (fourth >= 10) {
            p_ = at + 3;
            value = static_cast<Number>(first * 100 + second * 10 + third);
            return true;
        }
        if (digitValue(at[4]) >= 10) {
            p_ = at + 4;
            value = static_cast<Number>(first * 1000 + second * 100 + third * 10 + fourth);
            return true;
        }
        return false;
    }
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
    const char* const window_;
    const std::uint64_t bars_; // barsFrom(window_)
    bool ok_;
};

// The careful reading of a line, apart from the quick one: its code stays out
// of the quick one's way.
template <class Fields> [[gnu::noinline]] bool readLineCarefully(TextCursor& in, Fields& fields) {
    RecordReader careful(in);
    return fields(careful);
}

// Reads one record line with fields(line), which reads the line's fields in
// order from either reader and ends with its end() or endWithNumber(): the
// quick reader first, the careful one when the quick one gives up. fields is
// inlined here (always_inline), so that the quick reader's position stays in
// a register rather than in memory, stored and loaded again at every field.
// fields is taken by reference: a closure passed by value is built on the
// stack in pieces and loaded whole, which stalls every line.
template <class Fields> bool readRecordLine(TextCursor& in, Fields&& fields) {
    QuickLineReader quick(in);
    if (fields(quick)) {
        return true;
    }
    return readLineCarefully(in, fields);
}

// Writes one record line: the tag and a tab, then the fields in order, ended
// by end() or endWithNumber(). The fields go straight into the sink's room,
// which is claimed for many at a time; with kLineClaimed, the caller knows
// the most the whole line takes and it is claimed at once, so no field asks.
template <bool kLineClaimed = false> class RecordWriter {
public:
    RecordWriter(TextSink& out, char tag, std::size_t room = TextSink::kNumberRoom) : out_(out) {
        at_ = out_.claim(room, limit_);
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
    RecordWriter& text(std::string_view text) {
        chars(text);
        *at_++ = '|';
        return *this;
    }
    // Characters as they are, with room for one more.
    RecordWriter& chars(std::string_view text) {
        ensure(text.size() + 1);
        copyText(at_, text.data(), text.size());
        at_ += text.size();
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
    // The same when that number is already written: its tab becomes the
    // newline (a number and its tab always lie in one claim).
    void endAfterNumber() {
        at_[-1] = '\n';
        out_.commit(at_);
    }

private:
    void ensure(std::size_t n) {
        if constexpr (!kLineClaimed) {
            if (static_cast<std::size_t>(limit_ - at_) < n) {
                out_.commit(at_);
                at_ = out_.claim(n, limit_);
            }
        }
    }
    void signedNumber(std::int32_t value) {
        ensure(TextSink::kNumberRoom);
        at_ = formatSignedDecimal(at_, value);
    }

    TextSink& out_;
    char* at_;
    char* limit_;
};

// A kind's line is one list of fields, in the format's order, each with the
// first file version that has it (BookEntry::fields and the like):
//
//     leading(number, since)       a number before the strings, then its tab
//     text(field, since)           a string up to its bar
//     typeBits, levelCode, flag, active, lowByte (field, since)
//                                  the numbers after the strings, folded as
//                                  FieldFolding says
//     gap()                        the characters before the next text
//     lastText(field, flag)        a tab and a last string, when flag is set
//     end(), endAfterNumber()      the end of the line, after a tab or right
//                                  after the last number
//
// The visitors below read the list from a line, write it, or find a text in it.
// The texts take the entry's slots in the list's order.

// Reads a line's fields from either line reader into an entry, working out
// the bytes of its texts as they are found. When found is given, it gets
// every slot's text as well (for texts that do not fit in those bytes).
template <class Line> class FieldReader {
public:
    template <std::size_t Slots>
    FieldReader(Line& line, std::int32_t fileVersion, std::uint8_t (&spans)[Slots],
                EntryText* found = nullptr)
        : line_(line), version_(fileVersion), spans_(spans), found_(found) {}

    void leading(std::int32_t& value, std::int32_t since) {
        if (has(since)) {
            value = line_.leadingNumber();
        }
    }
    void leading(std::uint32_t& value, std::int32_t since) {
        if (has(since)) {
            value = line_.leadingUnsigned();
        }
    }
    void text(TextField, std::int32_t since) {
        if (has(since)) {
            take();
        } else {
            spans_[slot_++] = 0;
        }
    }
    void gap() {
        gap_ = slot_;
        spans_[slot_++] = 0;
    }
    void lastText(TextField, std::int8_t flag) {
        if (flag == 1) {
            line_.skipOne();
            take();
        } else {
            spans_[slot_++] = 0;
        }
    }
    void typeBits(std::uint8_t& value, std::int32_t since) {
        if (has(since)) {
            value = line_.typeBits(version_);
        }
    }
    void levelCode(std::uint8_t& value, std::int32_t since) {
        if (has(since)) {
            value = line_.levelCode();
        }
    }
    void flag(std::int8_t& value, std::int32_t since) {
        if (has(since)) {
            value = line_.flag();
        }
    }
    void active(std::int8_t& value, std::int32_t since) {
        if (has(since)) {
            value = line_.active();
        }
    }
    void lowByte(std::uint8_t& value, std::int32_t since) {
        if (has(since)) {
            value = line_.lowByte();
        }
    }
    void end() { ok_ = line_.end(); }
    void endAfterNumber() { ok_ = line_.endWithNumber(); }

    // Whether the whole line was read, and whether its texts fit in their
    // bytes; where the first text is.
    bool ok() const { return ok_; }
    bool fits() const { return spanBits_ <= TextRun::kLongestSpan; }
    std::uint32_t first() const { return first_; }

private:
    // A field of the oldest version read needs no test.
    bool has(std::int32_t since) const {
        return since <= BookDataFile::kOldestVersion || version_ >= since;
    }
    // The next text. Either reader reads a text up to its bar and goes on
    // past it, so a text begins where the one before it ended, but after the
    // gap, whose characters the gap's byte counts.
    void take() {
        EntryText found;
        line_.text(found);
        if (found_ != nullptr) {
            found_[slot_] = found;
        }
        if (slot_ == 0) {
            first_ = found.at;
            next_ = found.at;
        }
        if (slot_ == gap_ + 1) {
            const std::uint32_t lead = found.at - next_;
            spans_[gap_] = static_cast<std::uint8_t>(lead);
            spanBits_ |= lead;
        }
        const std::uint32_t span = found.size + 1;
        spanBits_ |= span;
        spans_[slot_++] = static_cast<std::uint8_t>(span);
        next_ = found.at + span;
    }

    Line& line_;
    const std::int32_t version_;
    std::uint8_t* const spans_;
    EntryText* const found_;
    std::size_t slot_ = 0;
    std::size_t gap_ = TextRun::kMaxSlots;
    std::uint32_t first_ = 0;
    std::uint32_t next_ = 0;
    // Every span and gap ORed: at most kLongestSpan, all one bits, when each is.
    std::uint32_t spanBits_ = 0;
    static_assert((TextRun::kLongestSpan & (TextRun::kLongestSpan + 1)) == 0);
    bool ok_ = false;
};

// Writes a line's fields in the version-9 layout: every field, whatever its
// first version. Texts that follow one another in the file's text go out in
// one copy, bars and all. With kLineClaimed, the entry's texts are its file's
// (not wide) and room is given for the longest line they allow.
template <bool kLineClaimed> class FieldWriter {
public:
    template <std::size_t Slots>
    FieldWriter(TextSink& out, char tag, const LibraryEntry& entry,
                const std::uint8_t (&spans)[Slots], std::size_t room = TextSink::kNumberRoom)
        : line_(out, tag, room), file_(entry.owner), spans_(spans), next_(entry.textsAt),
          from_(entry.textsAt),
          wide_(!kLineClaimed && (file_ == nullptr || (entry.textsAt & TextRun::kWide) != 0)) {}

    template <class Number> void leading(Number value, std::int32_t) { line_.number(value); }
    [[gnu::always_inline]] void text(TextField, std::int32_t) {
        // Most texts are in the file's text, right after the one before.
        if (wide_ || spans_[slot_] == 0) {
            otherText();
            return;
        }
        next_ += spans_[slot_++];
    }
    void gap() { skip(); }
    void lastText(TextField field, std::int8_t flag) {
        if (flag != 0) {
            text(field, 0);
        } else {
            skip();
        }
    }
    void typeBits(std::uint8_t value, std::int32_t) { number(value); }
    void levelCode(std::uint8_t value, std::int32_t) { number(value); }
    void flag(std::int8_t value, std::int32_t) { number(value); }
    void active(std::int8_t value, std::int32_t) { number(value); }
    void lowByte(std::uint8_t value, std::int32_t) { number(value); }
    void end() {
        flush();
        line_.end();
    }
    void endAfterNumber() { line_.endAfterNumber(); }

private:
    void number(std::int32_t value) {
        flush();
        line_.number(value);
    }
    // The texts taken since the last flush, as they lie in the file's text.
    void flush() {
        if (from_ != next_) {
            line_.chars(file_->text({from_, next_ - from_}));
            from_ = next_;
        }
    }
    // A text kept apart, or one that the line read lacked.
    void otherText() {
        if (!wide_) {
            flush();
            line_.text({});
        } else if (file_ != nullptr) {
            line_.text(file_->text(file_->wideText(next_ & ~TextRun::kWide, slot_)));
        } else {
            line_.text({});
        }
        ++slot_;
    }
    void skip() {
        if (!wide_) {
            flush();
            next_ += spans_[slot_];
            from_ = next_;
        }
        ++slot_;
    }

    RecordWriter<kLineClaimed> line_;
    const BookDataFile* file_;
    const std::uint8_t* spans_;
    // The position of the next slot's text, or where the wide texts are.
    std::uint32_t next_;
    std::uint32_t from_;
    const bool wide_;
    std::size_t slot_ = 0;
};

// Counts a kind's numbers and text slots: what its line can take at most.
class FieldCounter {
public:
    template <class... Any> void leading(const Any&...) { ++numbers; }
    template <class... Any> void text(const Any&...) { ++slots; }
    void gap() {} // its characters are the numbers', written anew
    template <class... Any> void lastText(const Any&...) { ++slots; }
    template <class... Any> void typeBits(const Any&...) { ++numbers; }
    template <class... Any> void levelCode(const Any&...) { ++numbers; }
    template <class... Any> void flag(const Any&...) { ++numbers; }
    template <class... Any> void active(const Any&...) { ++numbers; }
    template <class... Any> void lowByte(const Any&...) { ++numbers; }
    void end() {}
    void endAfterNumber() {}

    // The tag and its tab, each number with its tab, each slot's text with
    // its bar (a span at most, or a bar alone), the newline.
    std::size_t longestLine() const {
        return 2 + numbers * TextSink::kNumberRoom + slots * (TextRun::kLongestSpan + 1) + 1;
    }

    std::size_t numbers = 0;
    std::size_t slots = 0;
};

// Finds the slot of one text in a kind's list; the numbers are passed over.
class TextSlotFinder {
public:
    explicit TextSlotFinder(TextField wanted) : wanted_(wanted) {}

    template <class... Any> void leading(const Any&...) {}
    void text(TextField field, std::int32_t) { take(field); }
    void gap() { ++slot_; }
    void lastText(TextField field, std::int8_t) { take(field); }
    template <class... Any> void typeBits(const Any&...) {}
    template <class... Any> void levelCode(const Any&...) {}
    template <class... Any> void flag(const Any&...) {}
    template <class... Any> void active(const Any&...) {}
    template <class... Any> void lowByte(const Any&...) {}
    void end() {}
    void endAfterNumber() {}

    bool found() const { return found_; }
    std::size_t slot() const { return found_slot_; }

private:
    void take(TextField field) {
        if (field == wanted_ && !found_) {
            found_ = true;
            found_slot_ = slot_;
        }
        ++slot_;
    }

    const TextField wanted_;
    std::size_t slot_ = 0;
    std::size_t found_slot_ = 0;
    bool found_ = false;
};

// What each kind's read, write, textAt and setText do with its list.
template <class Entry> bool readFields(Entry& entry, TextCursor& in, std::int32_t fileVersion) {
    const std::size_t start = in.position();
    bool fits = true;
    const bool ok = readRecordLine(
        in, [&](auto& line) __attribute__((always_inline)) {
            FieldReader<std::remove_reference_t<decltype(line)>> reader(line, fileVersion,
                                                                        entry.textSpans);
            Entry::fields(entry, reader);
            entry.textsAt = reader.first();
            fits = reader.fits();
            return reader.ok();
        });
    if (ok && !fits) {
        // Read once more, rarely, for where each text is.
        TextCursor again(in.text());
        again.skipTo(start);
        RecordReader careful(again);
        EntryText found[TextRun::kMaxSlots] = {};
        FieldReader<RecordReader> reader(careful, fileVersion, entry.textSpans, found);
        Entry::fields(entry, reader);
        TextRun::keepApart(entry.textsAt, entry.textSpans, std::size(entry.textSpans), found,
                           entry.owner);
    }
    return ok;
}

template <class Entry> void writeFields(const Entry& entry, TextSink& out, char tag) {
    // Texts in the file's text are a span each at most, so the line's length
    // is bounded and its room claimed at once; other texts may be any length.
    if (entry.owner != nullptr && (entry.textsAt & TextRun::kWide) == 0) {
        FieldCounter counter;
        Entry::fields(entry, counter);
        FieldWriter<true> writer(out, tag, entry, entry.textSpans, counter.longestLine());
        Entry::fields(entry, writer);
    } else {
        FieldWriter<false> writer(out, tag, entry, entry.textSpans);
        Entry::fields(entry, writer);
    }
}

template <class Entry> EntryText findText(const Entry& entry, TextField field) {
    TextSlotFinder finder(field);
    Entry::fields(entry, finder);
    if (!finder.found()) {
        return {};
    }
    return TextRun(entry.textsAt, entry.textSpans, std::size(entry.textSpans))
        .text(finder.slot(), entry.owner);
}

template <class Entry> void replaceText(Entry& entry, TextField field, std::string_view text) {
    TextSlotFinder finder(field);
    Entry::fields(entry, finder);
    if (!finder.found() || entry.owner == nullptr) {
        return;
    }
    const std::size_t slots = std::size(entry.textSpans);
    EntryText texts[TextRun::kMaxSlots] = {};
    TextRun(entry.textsAt, entry.textSpans, slots).expand(texts, entry.owner);
    texts[finder.slot()] = entry.owner->keepText(text);
    TextRun::keepApart(entry.textsAt, entry.textSpans, slots, texts, entry.owner);
}

} // namespace quillora
