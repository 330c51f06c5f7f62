// The data folder search.
#include "core/data_folder.h"

#include <filesystem>
#include <system_error>

namespace valdrin {

namespace fs = std::filesystem;

DataFolderSearch find_data_folder(const std::string& given,
                                  const std::vector<std::string>& candidates) {
  DataFolderSearch search;
  if (!given.empty()) {
    search.folder = given;
    search.tried.push_back(given);
    return search;
  }
  for (const std::string& candidate : candidates) {
    search.tried.push_back(candidate);
    std::error_code error;
    if (fs::is_regular_file(fs::path(candidate) / "selections" / "default.sel", error)) {
      search.folder = candidate;
      break;
    }
  }
  return search;
}

std::vector<std::string> data_folder_candidates(const std::string& executable) {
  std::vector<std::string> candidates{kLocalDataFolder};
  if (!executable.empty())
    candidates.push_back(
        (fs::path(executable).parent_path() / kInstalledDataFolder).lexically_normal().string());
  return candidates;
}

std::string executable_path(const char* argv0) {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error && self.is_absolute()) return self.string();
  // Without /proc: a name with a slash is a path; a bare name came from
  // PATH, which is not searched here.
  const std::string name = argv0 != nullptr ? argv0 : "";
  if (name.find('/') == std::string::npos) return "";
  const fs::path absolute = fs::absolute(name, error);
  return error ? "" : absolute.lexically_normal().string();
}

std::string data_folder_error(const DataFolderSearch& search) {
  std::string text = "can't find the data folder; looked in ";
  for (size_t i = 0; i < search.tried.size(); ++i) {
    std::error_code error;
    const fs::path absolute = fs::absolute(search.tried[i], error);
    text += i == 0 ? "" : i + 1 == search.tried.size() ? " and " : ", ";
    text += error ? search.tried[i] : absolute.lexically_normal().string();
  }
  return text;
}

}  // namespace valdrin
