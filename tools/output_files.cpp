// Folder creation and the fatal write failure of the asset generator.

// <filesystem> to create the parent folders; <cstdio>/<cstdlib> to report a failure and stop.
#include "tools/output_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

// ---------------------------------------------------------------------------------------------
// Public functions

void FailWrite(const std::string& path, const char* reason) {
  std::fprintf(stderr, "vexadrome_assets: cannot write %s: %s\n", path.c_str(), reason);
  std::exit(1);
}

void CreateParentFolders(const std::string& path) {
  std::filesystem::path file(path);
  if (!file.has_parent_path()) return;
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) FailWrite(path, error.message().c_str());
}
