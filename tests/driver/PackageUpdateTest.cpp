// The per-package changes of a run: flags, directory renumbering, abbreviation.
#include "driver/PackageUpdate.h"
#include "bookdata/BookEntry.h"
#include "bookdata/GroupEntry.h"
#include "bookdata/ProgramEntry.h"
#include "catalog/CatalogTestSupport.h"
#include "catalog/DirectoryItem.h"
#include "catalog/MarkedItem.h"
#include "driver/UpdateOptions.h"
#include "product/PathMacro.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quillora {
namespace {

using testing::addDirectory;

BookEntry* addBook(Package& p, const std::string& name, std::int32_t directoryId) {
    auto* book = p.bookData.make<BookEntry>();
    book->setText(TextField::name, name);
    book->directoryId = directoryId;
    p.bookData.addEntry(book);
    return book;
}

UpdateOptions updateDirOnly() {
    UpdateOptions o;
    o.updateDirectories = true;
    return o;
}

TEST(Renumbering, SharedCopiedDirectoryGetsOneNewIdentifier) {
    Package p;
    DirectoryItem* dir = addDirectory(p, 5, "C:\\Copied\\Books");
    BookEntry* a = addBook(p, "Alpha", 5);
    BookEntry* b = addBook(p, "Beta", 5);
    std::ostringstream out;
    applyEntryOptions(p, updateDirOnly(), {}, "d:", out);
    EXPECT_EQ(out.str(), "Updating Alpha id 5 to 101\nUpdating Beta id 5 to 101\n");
    EXPECT_EQ(a->directoryId, 101);
    EXPECT_EQ(b->directoryId, 101);
    EXPECT_EQ(dir->id, 101);
    EXPECT_EQ(p.highItemId, 101);
}

TEST(Renumbering, DirectoriesThatPointAtTheCdAreKept) {
    struct Case {
        const char* path;
        const char* cdDrive;
        bool renumbered;
        InstallDirectories directories;
    };
    const Case cases[] = {
        {"$+cd.\\books", "d:", false, {}}, // token in lower case still points at the CD
        {"$+CD.", "", false, {}},
        {"$+HOME.\\books", "d:", true, {}},
        {"$+LOCAL.\\x", "d:", true, {}},
        {"D:\\books", "d:", false, {}}, // the CD drive's letter, any case
        {"d:", "d:", false, {}},
        {"E:\\books", "d:", true, {}},
        {"C:\\books", "", true, {}}, // no CD drive: every plain path counts as copied
        {"", "", false, {}},         // ...but an empty one compares equal to the empty drive
        {"", "d:", true, {}},
        // Under the CD directory, as abbreviation would find it: a folder that the
        // drive table gives drive d:, or a Windows path on another letter.
        {"/media/cdrom/Guides", "d:", false, {"/srv/q", "/media/cdrom", ""}},
        {"/MEDIA/CDROM/Guides", "d:", false, {"/srv/q", "/media/cdrom", ""}},
        {"/media/other/Guides", "d:", true, {"/srv/q", "/media/cdrom", ""}},
        {"e:\\disc\\Guides", "d:", false, {"C:\\Q", "E:\\Disc", ""}},
        {"E:\\Other\\Guides", "d:", true, {"C:\\Q", "E:\\Disc", ""}},
        // The home directory is tried first: a CD directory inside it is never reached.
        {"C:\\Q\\CD\\Guides", "d:", true, {"C:\\Q", "C:\\Q\\CD", ""}},
    };
    for (const Case& c : cases) {
        Package p;
        DirectoryItem* dir = addDirectory(p, 3, c.path);
        BookEntry* book = addBook(p, "B", 3);
        std::ostringstream out;
        applyEntryOptions(p, updateDirOnly(), c.directories, c.cdDrive, out);
        EXPECT_EQ(book->directoryId, c.renumbered ? 101 : 3) << c.path << " / " << c.cdDrive;
        EXPECT_EQ(dir->id, c.renumbered ? 101 : 3) << c.path;
        EXPECT_EQ(out.str().empty(), !c.renumbered) << c.path;
        // Never both renumbered and written as on the CD.
        abbreviatePackagePaths(p, c.directories);
        EXPECT_FALSE(c.renumbered && dir->path.rfind(token::Cd, 0) == 0) << c.path;
    }
}

TEST(Renumbering, BooksOutsideTheRangeOrWithoutADirectoryItemAreLeftAlone) {
    Package p;
    addDirectory(p, 100, "C:\\x");
    addDirectory(p, -1, "C:\\x");
    auto marked = std::make_unique<MarkedItem>();
    marked->id = 7;
    p.items.append(std::move(marked));
    BookEntry* high = addBook(p, "High", 100);
    BookEntry* negative = addBook(p, "Negative", -1);
    BookEntry* missing = addBook(p, "Missing", 9);
    BookEntry* notDirectory = addBook(p, "Marked", 7);
    std::ostringstream out;
    applyEntryOptions(p, updateDirOnly(), {}, "", out);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(high->directoryId, 100);
    EXPECT_EQ(negative->directoryId, -1);
    EXPECT_EQ(missing->directoryId, 9);
    EXPECT_EQ(notDirectory->directoryId, 7);
    EXPECT_EQ(p.highItemId, 100);
}

TEST(Renumbering, EachDirectoryIsRenumberedOnceAndMapsResetPerPackage) {
    Package p;
    p.highItemId = 150;
    addDirectory(p, 1, "C:\\one");
    addDirectory(p, 2, "C:\\two");
    addDirectory(p, 150, "C:\\high");
    BookEntry* a = addBook(p, "A", 2);
    BookEntry* b = addBook(p, "B", 1);
    BookEntry* c = addBook(p, "C", 2);
    std::ostringstream out;
    applyEntryOptions(p, updateDirOnly(), {}, "d:", out);
    EXPECT_EQ(out.str(), "Updating A id 2 to 151\nUpdating B id 1 to 152\n"
                         "Updating C id 2 to 151\n");
    EXPECT_EQ(a->directoryId, 151);
    EXPECT_EQ(b->directoryId, 152);
    EXPECT_EQ(c->directoryId, 151);

    // A second package starts with an empty map: its directory 2 is its own.
    Package q;
    addDirectory(q, 2, "C:\\two");
    BookEntry* d = addBook(q, "D", 2);
    std::ostringstream out2;
    applyEntryOptions(q, updateDirOnly(), {}, "d:", out2);
    EXPECT_EQ(d->directoryId, 101);

    // An identifier handed out below 100 may be one that a book named when no
    // directory had it: a later book of that identifier finds the directory.
    Package r;
    r.highItemId = 3;
    DirectoryItem* two = addDirectory(r, 2, "C:\\two");
    addBook(r, "Early", 4);
    addBook(r, "Copied", 2);
    addBook(r, "Late", 4);
    std::ostringstream out3;
    applyEntryOptions(r, updateDirOnly(), {}, "d:", out3);
    EXPECT_EQ(two->id, 5);
    EXPECT_EQ(out3.str(), "");
}

TEST(EntryOptions, FlagsReachEveryKindButOnlyBooksAreRenumbered) {
    Package p;
    addDirectory(p, 4, "C:\\copied");
    auto* group = p.bookData.make<GroupEntry>();
    auto* program = p.bookData.make<ProgramEntry>();
    program->directoryId = 4;
    p.bookData.addEntry(group);
    p.bookData.addEntry(program);
    BookEntry* book = addBook(p, "Book", 4);
    UpdateOptions o;
    o.setMaintain = true;
    o.maintainValue = false;
    o.setActive = true;
    o.activeValue = false;
    o.updateDirectories = true;
    std::ostringstream out;
    applyEntryOptions(p, o, {}, "", out);
    for (LibraryEntry* e : p.bookData.allEntries) {
        EXPECT_EQ(e->maintain, 0);
        EXPECT_EQ(e->active, 0);
    }
    EXPECT_EQ(program->directoryId, 4);
    EXPECT_EQ(book->directoryId, 101);

    o = UpdateOptions();
    o.setActive = true;
    applyEntryOptions(p, o, {}, "", out);
    for (LibraryEntry* e : p.bookData.allEntries) {
        EXPECT_EQ(e->active, -1);
        EXPECT_EQ(e->maintain, 0); // untouched without maintain=
    }
}

TEST(Abbreviation, PackagePathsAndDirectoryItemsOnly) {
    InstallDirectories directories;
    directories.home = "C:\\Q";
    Package p;
    p.dataFileLocation = "C:\\Q\\data.dat";
    p.secondPath = "c:\\q\\second";
    DirectoryItem* dir = addDirectory(p, 1, "C:\\Q\\Books");
    auto marked = std::make_unique<MarkedItem>();
    marked->id = 2;
    marked->text = "C:\\Q\\text";
    MarkedItem* rawMarked = marked.get();
    p.items.append(std::move(marked));
    abbreviatePackagePaths(p, directories);
    EXPECT_EQ(p.dataFileLocation, "$+HOME.\\data.dat");
    EXPECT_EQ(p.secondPath, "$+HOME.\\second");
    EXPECT_EQ(dir->path, "$+HOME.\\Books");
    EXPECT_EQ(rawMarked->text, "C:\\Q\\text");
    EXPECT_TRUE(p.modified);
}

} // namespace
} // namespace quillora
