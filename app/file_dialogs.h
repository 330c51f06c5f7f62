// The two file choosers every command that names a file goes through, over
// the dialog service (Program::services). They share one dialog directory, append the expected
// extension on save, and put the working directory back after every confirmed choice.
#pragma once

#include <string>

#include "app/program.h"

namespace valdrin {

// Paths are held in buffers of this many characters, terminator included.
constexpr size_t kPathCapacity = 256;

// Remembers the current directory as the working directory and as the
// first dialog directory.
void init_file_dialogs(FileDialogs& dialogs);

// Return 1 with the chosen path, 0 when the dialog was cancelled or the path
// does not fit the path buffer (said in a message); nothing changes on 0.
int choose_open_file(Program& program, std::string& path, const std::string& extension);

// As choose_open_file; the path gets `extension` appended unless it
// already ends in it, compared case for case.
int choose_save_file(Program& program, std::string& path, const std::string& extension);

}  // namespace valdrin
