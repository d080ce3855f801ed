// The sound half of the asset generator: the game's sound effects (sfx/), the music
// engine's instrument bank (inst/) and its tune pictures (tunes/).
#pragma once

#include <string>

// ---------------------------------------------------------------------------------------------
// Public functions

// Writes every sound asset under `folder` (the data folder), creating sub-folders as needed.
// The output depends on nothing but this code, so two runs give the same bytes.
void GenerateSoundAssets(const std::string& folder);
