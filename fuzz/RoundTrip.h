// The property both fuzz targets check, for a LibraryCatalog or a BookDataFile read
// from and written to one file of the in-memory platform: what the reader
// accepts is written so that reading it again gives the same model and writing
// that the same bytes; what it refuses, it refuses with the file, the line and
// why.
#pragma once

#include "FuzzCheck.h"
#include "ModelText.h"
#include "status/Status.h"
#include "support/FakePlatform.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillora::fuzz {

// The input is the file's content. settlesOneWriteLater: true for a model whose first write the
// format cannot hold as it is (the target says which), so that only the bytes of the second write
// must stay.
template <class Model, class Read, class Write, class Settles>
void checkRoundTrip(const std::uint8_t* data, std::size_t size, const std::string& file, Read read,
                    Write write, Settles settlesOneWriteLater) {
    testing::FakePlatform platform;
    platform.files[file].assign(reinterpret_cast<const char*>(data), size);
    Model first;
    const Status firstRead = read(platform, first);
    if (!firstRead) {
        requireClearReason(firstRead.reason(), file);
        return;
    }
    const Status firstWrite = write(platform, first);
    require(firstWrite.ok(), "what was read cannot be written", firstWrite.reason());
    const std::string written = platform.files[file];

    Model second;
    const Status secondRead = read(platform, second);
    require(secondRead.ok(), "what was written is refused",
            secondRead.reason() + "\n--- written:\n" + written);
    requireSame("the model read back differs", modelText(first), modelText(second));
    static_cast<void>(write(platform, second));
    if (!settlesOneWriteLater(first)) {
        requireSame("a second write gives other bytes", written, platform.files[file]);
        return;
    }
    const std::string settled = platform.files[file];
    Model third;
    static_cast<void>(read(platform, third));
    static_cast<void>(write(platform, third));
    requireSame("a third write gives other bytes", settled, platform.files[file]);
}

} // namespace quillora::fuzz
