// Windows paths on a POSIX file system. Windows ignores the case of file
// names; a library copied from Windows keeps whatever case its files had, so
// each part of a path that does not exist as spelt is looked up without
// regard to case.
#pragma once

#include <string>

namespace quillora {

// path with each part that does not exist as spelt replaced by an entry of
// its folder that differs only in case (the first in byte order when several
// do). From the first part that matches nothing on, path is kept as it is.
std::string matchPathNoCase(const std::string& path);

} // namespace quillora
