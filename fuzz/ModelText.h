// Every value a reader fills in, as one text: two models are the same exactly
// when their texts are. Entries are listed in file order with the positions of
// their parent and members, so the tree is compared without walking it.
#pragma once

#include <string>

namespace quillora {

class LibraryCatalog;
class BookDataFile;

namespace fuzz {

// Packages without a name are left out, as the writer leaves them out.
std::string modelText(const LibraryCatalog& catalog);
// The book data file state of the package: its entries and their tree.
std::string modelText(const BookDataFile& package);

} // namespace fuzz
} // namespace quillora
