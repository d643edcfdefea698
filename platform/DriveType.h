// What kind of drive a root such as "d:\" is.
#pragma once

namespace quillora {

enum class DriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CdRom, RamDisk };

} // namespace quillora
