#pragma once

#include <string>

namespace quillora {

class Platform;

// The first CD-ROM drive from 'c' to 'y' as "d:", or empty when there is none.
std::string findCdDrive(Platform& platform);

} // namespace quillora
