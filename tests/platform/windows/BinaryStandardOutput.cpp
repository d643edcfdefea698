// The test list is read from standard output on the build machine, where a CR
// at the end of every line would become part of the test names.
#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace {

const int binaryStandardOutput = _setmode(_fileno(stdout), _O_BINARY);

} // namespace
