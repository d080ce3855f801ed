// Every image file of the game: the sheets, their frame layouts and resolutions, and the
// contact sheets that put them all in front of a reviewer.
#pragma once

#include <string>

// ---------------------------------------------------------------------------------------------
// Public functions

// Writes every image under `folder` (the data folder layout). When `contactFolder` is not
// empty, review pictures of every sheet go there too; they are never part of the data.
void GenerateImageAssets(const std::string& folder, const std::string& contactFolder);
