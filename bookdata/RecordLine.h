// The line conventions every book data record shares: numbers followed by a tab,
// strings ended by a bar, the folding of flags and codes, the end of the line.
// Each record's own file lists its fields in order through these two classes.
#pragma once

#include "bookdata/BookDataFile.h"
#include "bookdata/LibraryEntry.h"
#include "bookdata/TypeCode.h"
#include "common/TextCursor.h"
#include "common/TextSink.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace quillora {

// Reads one record line field by field. Once a field fails, the cursor stays
// failed, the remaining fields read as 0 and end() reports the failure.
class RecordReader {
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
    std::uint8_t lowByte() { return static_cast<std::uint8_t>(number() & 0xFF); }
    // Flags hold 1 exactly when the number is 1.
    std::int8_t flag() { return number() == 1 ? std::int8_t{1} : std::int8_t{0}; }
    // The active flag is set (-1) by any number but 0.
    std::int8_t active() { return number() != 0 ? std::int8_t{-1} : std::int8_t{0}; }
    std::uint8_t levelCode() {
        std::int32_t value = number();
        return value == 1 || value == 2 ? static_cast<std::uint8_t>(value) : std::uint8_t{0};
    }
    // Before version 7 the field holds a code rather than the bits themselves.
    std::uint8_t typeBits(std::int32_t fileVersion) {
        std::int32_t value = number();
        return fileVersion >= 7 ? static_cast<std::uint8_t>(value & 0xFF) : mapOldTypeCode(value);
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

private:
    static constexpr std::size_t kRestOfLine = 10;
    TextCursor& in_;
    bool inputEndedInNumber_ = false;
    bool inputEndedInText_ = false;
};

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
