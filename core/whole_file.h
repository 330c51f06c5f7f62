// Whole-or-nothing saves: every file the user keeps (event data, CSV
// exports, snapshots, report text, the command-line tool's outputs) is
// written into a temporary file beside its target and renamed over it only
// when every byte and the close succeeded. A save that fails half-way thus
// leaves an existing file exactly as it was and no temporary file behind.
#pragma once

#include <cstdio>
#include <functional>

namespace valdrin {

// Fills the file through `write` and puts it at `path`. `write` returns 1
// when it wrote everything, 0 when it gave up; any failed write on the
// stream counts as a failure too. The new file takes the mode of the file
// it replaces, or 0666 less the umask when there is none.
// Return 1 when `path` now holds exactly what was written; 0 otherwise, and
// then `path` is untouched and the temporary file is removed. A link is
// followed: the file it names is replaced and the link stays. A `path` that
// is a device or a pipe (/dev/stdout) can't be replaced: it is written into
// directly, with every write checked, and gets whatever came before a
// failure.
int save_whole_file(const char* path, const std::function<int(std::FILE*)>& write);

}  // namespace valdrin
