// --data as given, else the first candidate with the cell table; a failure names each place.
#include "core/data_folder.h"

#include "tests/core/test_files.h"

namespace valdrin::data_folder_test {

TEST(DataFolder, GivenElseLocalElseInstalledAndAFailedSearchNamesEachPlace) {
  test::ScratchDir dir;
  for (const char* folder : {"local", "installed"}) {
    std::filesystem::create_directories(dir.path(folder) + "/selections");
    test::write_file(dir.path(folder) + "/selections/default.sel", "");
  }
  std::filesystem::create_directories(dir.path("bare"));  // a folder without the cell table
  const std::string local = dir.path("local"), installed = dir.path("installed"),
                    bare = dir.path("bare"), none = dir.path("none");
  const std::tuple<std::string, std::vector<std::string>, std::string, size_t> cases[] = {
      {"", {local, installed}, local, 1},  {"", {bare, installed}, installed, 2},
      {"", {none, bare, local}, local, 3}, {"", {none, bare}, "", 2},
      {none, {local, installed}, none, 1},  // named: taken as it is, not searched
  };
  for (const auto& [given, candidates, found, tried] : cases) {
    const DataFolderSearch search = find_data_folder(given, candidates);
    EXPECT_EQ(std::tuple(search.folder, search.tried.size()), std::tuple(found, tried))
        << candidates[0];
  }
  EXPECT_EQ(data_folder_error(find_data_folder("", {none, bare, local + "/x"})),
            "can't find the data folder; looked in " + none + ", " + bare + " and " + local + "/x");
  EXPECT_EQ(std::tuple(data_folder_candidates("/opt/v/bin/valdrin"), data_folder_candidates("")),
            std::tuple(std::vector<std::string>{"data", "/opt/v/share/valdrin/data"},
                       std::vector<std::string>{"data"}));
  // The running program is found whatever argv[0] says.
  EXPECT_TRUE(executable_path("x").ends_with("/core_tests"));
}

}  // namespace valdrin::data_folder_test
