#pragma once

#include <string>

namespace quillora {

class Installation;

// The first CD-ROM drive from 'c' to 'y' as "d:", or empty when there is none.
std::string findCdDrive(Installation& installation);

} // namespace quillora
