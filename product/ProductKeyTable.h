// The six product-identity slots in the program image. A packaging tool finds a
// slot by its marker and overwrites the value behind it, so the values must be
// read from the image at run time.
#pragma once

#include <string>

namespace quillora {

enum class ProductKey { Product = 1, Program = 2, Vendor = 3, Owner = 4, Company = 5, Contact = 6 };

// The value stored behind the slot's marker, up to its terminating zero.
std::string productKeyValue(ProductKey slot);

inline std::string programName() {
    return productKeyValue(ProductKey::Program);
}
inline std::string companyName() {
    return productKeyValue(ProductKey::Company);
}

} // namespace quillora
