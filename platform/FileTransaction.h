// The platform a run writes its files through: it holds back every
// replacement until the run commits them all together, or drops them.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace quillora {

class FileTransaction : public Platform {
public:
    // Puts every file held back in place together. Each failure is added to
    // errors; false when there was one.
    virtual bool commit(std::vector<std::string>& errors) = 0;
    // Drops every file held back; the targets keep their old content.
    virtual void discard() = 0;
};

} // namespace quillora
