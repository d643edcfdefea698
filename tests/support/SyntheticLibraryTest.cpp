// The benchmark's synthetic records must be what the real readers expect, in
// every kind and file version; otherwise the benchmark measures failed loads.
#include "support/SyntheticLibrary.h"
#include "bookdata/BookDataFile.h"
#include "bookdata/BookEntry.h"
#include "bookdata/ExtractGroupEntry.h"
#include "bookdata/ExtractSingleEntry.h"
#include "bookdata/GroupEntry.h"
#include "bookdata/ProgramEntry.h"
#include "bookdata/TypeCode.h"
#include "text/TextCursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillora::bench {
namespace {

const std::int32_t kIds[] = {1, 4, 9, 101};

std::uint8_t expectedTypeBits(const Record& r, int version) {
    bool mapped = version < 7 && r.tag != 'X' && r.tag != 'Y';
    return mapped ? mapOldTypeCode(r.typeNumber) : static_cast<std::uint8_t>(r.typeNumber & 0xFF);
}

// The fields a reader of that version fills; the others keep their defaults.
void expectRead(const Record& r, const LibraryEntry& e, int version) {
    const bool fixedLayout = r.tag == 'X' || r.tag == 'Y';
    const bool full = fixedLayout || version >= 9;
    EXPECT_EQ(e.id, r.id);
    EXPECT_EQ(e.text(TextField::name), r.name);
    EXPECT_EQ(e.text(TextField::text2), r.text2);
    EXPECT_EQ(e.text(TextField::text3), r.text3);
    EXPECT_EQ(e.auxNumber, fixedLayout || version >= 5 ? r.auxNumber : 0u);
    EXPECT_EQ(e.text(TextField::text4), fixedLayout || version >= 6 ? r.text4 : std::string());
    EXPECT_EQ(e.typeBits, expectedTypeBits(r, version));
    EXPECT_EQ(e.levelCode, full ? r.levelCode : 0);
    EXPECT_EQ(e.active, r.active);
    EXPECT_EQ(e.maintain, r.tag == 'G' ? 1 : r.maintain);
    const std::string text7 = fixedLayout || version >= 4 ? r.text7 : std::string();
    const std::int32_t extraFlag = full ? r.extraFlag : 0;
    switch (r.tag) {
    case 'B': {
        const auto& b = static_cast<const BookEntry&>(e);
        EXPECT_EQ(b.directoryId, r.directoryId);
        EXPECT_EQ(b.text(TextField::text5), r.text5);
        EXPECT_EQ(b.text(TextField::text7), text7);
        EXPECT_EQ(b.extraFlag, extraFlag);
        EXPECT_EQ(b.displayKind, r.displayKind);
        EXPECT_EQ(b.hasLValue, r.hasLValue != 0 && r.lValue > 0 ? 1 : 0);
        EXPECT_EQ(b.lValue, r.hasLValue != 0 ? r.lValue : -1);
        EXPECT_EQ(b.hasExtraText, r.hasExtraText);
        EXPECT_EQ(b.text(TextField::extraText), r.extraText);
        break;
    }
    case 'P': {
        const auto& p = static_cast<const ProgramEntry&>(e);
        EXPECT_EQ(p.directoryId, r.directoryId);
        EXPECT_EQ(p.text(TextField::text6), r.text6);
        EXPECT_EQ(p.text(TextField::text7), text7);
        EXPECT_EQ(p.text(TextField::text8), version >= 8 ? r.text8 : std::string());
        EXPECT_EQ(p.extraFlag, extraFlag);
        break;
    }
    case 'X': {
        const auto& x = static_cast<const ExtractSingleEntry&>(e);
        EXPECT_EQ(x.directoryId, r.directoryId);
        EXPECT_EQ(x.text(TextField::text8), r.text8);
        EXPECT_EQ(x.text(TextField::text7), r.text7);
        EXPECT_EQ(x.displayKind, r.displayKind);
        EXPECT_EQ(x.extraFlag, r.extraFlag);
        break;
    }
    case 'Y': {
        const auto& y = static_cast<const ExtractGroupEntry&>(e);
        EXPECT_EQ(y.directoryId, r.directoryId);
        EXPECT_EQ(y.text(TextField::text6), r.text6);
        EXPECT_EQ(y.displayKind, r.displayKind);
        break;
    }
    default:
        break;
    }
}

TEST(SyntheticRecords, EveryKindAndVersionReadsBackThroughTheTagParser) {
    for (int version = 3; version <= 9; ++version) {
        for (char tag : {'B', 'G', 'P', 'X', 'Y'}) {
            SCOPED_TRACE(std::string("tag ") + tag + " version " + std::to_string(version));
            Rng rng(static_cast<std::uint64_t>(version * 100 + tag));
            std::vector<Record> records;
            std::string text;
            for (int i = 0; i < 40; ++i) {
                records.push_back(randomRecord(rng, tag, i + 1, version, kIds, std::size(kIds)));
                appendRecordLine(text, records.back(), version, "\n");
                if (tag == 'G') {
                    text += "E\n";
                }
            }
            BookDataFile package;
            TextCursor in(text);
            const Status read = package.readEntries(in, version);
            ASSERT_EQ(read.code(), 0) << read.reason();
            ASSERT_EQ(package.allEntries.count(), records.size());
            for (std::size_t i = 0; i < records.size(); ++i) {
                LibraryEntry* entry = package.allEntries.at(i);
                EXPECT_EQ(entry->parent, nullptr);
                expectRead(records[i], *entry, version);
            }
        }
    }
}

TEST(SyntheticRecords, BodiesNestGroupsAndCarryLinesWithoutEntries) {
    Rng rng(5);
    const std::string body = makeBookDataBody(rng, 3000, 9, "\n", kIds, std::size(kIds));
    BookDataFile package;
    TextCursor in(body);
    const Status read = package.readEntries(in, 9);
    ASSERT_EQ(read.code(), 0) << read.reason();
    ASSERT_EQ(package.allEntries.count(), 3000u);
    std::size_t kinds[5] = {};
    std::size_t nested = 0;
    for (LibraryEntry* e : package.allEntries) {
        switch (e->kind) {
        case EntryKind::Book:
            ++kinds[0];
            break;
        case EntryKind::Group:
            ++kinds[1];
            nested += e->parent != nullptr ? 1 : 0;
            break;
        case EntryKind::Program:
            ++kinds[2];
            break;
        case EntryKind::ExtractSingle:
            ++kinds[3];
            break;
        default:
            ++kinds[4];
        }
    }
    for (std::size_t count : kinds) {
        EXPECT_GT(count, 50u);
    }
    EXPECT_GT(kinds[0], 3000u / 2) << "mostly books";
    EXPECT_GT(nested, 0u) << "groups inside groups";
    EXPECT_NE(body.find("\nL\t"), std::string::npos);
    EXPECT_LT(package.rootEntries.count(), package.allEntries.count());
}

TEST(SyntheticRecords, SameSeedSameBytes) {
    LibraryOptions options;
    options.packages = 20;
    options.installRoot = "/srv/library";
    const std::string catalog = makeCatalogText(options);
    EXPECT_EQ(makeCatalogText(options), catalog);
    options.seed = 2;
    EXPECT_NE(makeCatalogText(options), catalog);

    Rng a(9);
    Rng b(9);
    EXPECT_EQ(makeBookDataBody(a, 200, 6, "\r\n", kIds, std::size(kIds)),
              makeBookDataBody(b, 200, 6, "\r\n", kIds, std::size(kIds)));
}

} // namespace
} // namespace quillora::bench
