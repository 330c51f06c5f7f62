// Where the programs find their data folder (maps, overlays, the cell
// table). A folder the user names (--data) is taken as given. Otherwise the
// candidates are tried in order: data/ of the working directory, where a
// run from the source folder finds it, then the folder installed beside the
// program, <bin>/../share/valdrin/data, so that an installed tree works
// wherever it was put. A candidate counts when it holds the cell table,
// which every use of the folder needs. A search that finds none names every
// place it looked.
#pragma once

#include <string>
#include <vector>

namespace valdrin {

// The installed data folder, relative to the folder of the executable.
constexpr const char* kInstalledDataFolder = "../share/valdrin/data";
// The folder searched first, relative to the working directory.
constexpr const char* kLocalDataFolder = "data";

struct DataFolderSearch {
  std::string folder;              // the folder to use; "" when none was found
  std::vector<std::string> tried;  // every candidate looked at, in order
};

// `given` (not empty) is used as it is; else the first of `candidates`
// that holds selections/default.sel.
DataFolderSearch find_data_folder(const std::string& given,
                                  const std::vector<std::string>& candidates);

// The candidates in search order: data/ of the working directory, then the
// installed folder beside `executable` (left out when `executable` is "").
std::vector<std::string> data_folder_candidates(const std::string& executable);

// The running program's own file (/proc/self/exe), else `argv0` made
// absolute when it names a path, else "".
std::string executable_path(const char* argv0);

// What a failed search says: "can't find the data folder; looked in A, B".
// Relative places are named by their absolute paths.
std::string data_folder_error(const DataFolderSearch& search);

}  // namespace valdrin
