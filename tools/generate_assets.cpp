// The asset generator's entry: vexadrome_assets <data folder> [<contact sheet folder>].

#include "tools/image_assets.h"
#include "tools/sound_assets.h"

#include <cstdio>
#include <string>

// ---------------------------------------------------------------------------------------------
// Public functions

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: vexadrome_assets <data folder> [<contact sheet folder>]\n");
    return 2;
  }
  const std::string folder = argv[1];
  GenerateImageAssets(folder, argc == 3 ? std::string(argv[2]) : std::string());
  GenerateSoundAssets(folder);
  return 0;
}
