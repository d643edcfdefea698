#include "bookdata/ProgramEntry.h"

#include "bookdata/RecordLine.h"

namespace quillora {

template <class Self, class Fields>
[[gnu::always_inline]] inline void ProgramEntry::fields(Self& program, Fields& f) {
    f.leading(program.id, 3);
    f.leading(program.auxNumber, 5);
    f.leading(program.directoryId, 3);
    f.text(TextField::name, 3);
    f.text(TextField::text8, 8);
    f.text(TextField::text2, 3);
    f.text(TextField::text3, 3);
    f.text(TextField::text4, 6);
    f.text(TextField::text5, 3);
    f.text(TextField::text6, 3);
    f.text(TextField::text7, 4);
    f.typeBits(program.typeBits, 3);
    f.levelCode(program.levelCode, 9);
    f.flag(program.extraFlag, 9);
    f.active(program.active, 3);
    f.flag(program.maintain, 3);
    f.end();
}

bool ProgramEntry::read(TextCursor& in, std::int32_t fileVersion) {
    if (fileVersion < BookDataFile::kOldestVersion) {
        return false;
    }
    imageId = 10;
    return readFields(*this, in, fileVersion);
}

void ProgramEntry::write(TextSink& out, std::int32_t) const {
    writeFields(*this, out, 'P');
}

EntryText ProgramEntry::textAt(TextField field) const {
    return findText(*this, field);
}

void ProgramEntry::setText(TextField field, std::string_view text) {
    replaceText(*this, field, text);
}

} // namespace quillora
