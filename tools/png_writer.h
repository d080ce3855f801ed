// Writes RGBA pictures as PNG files for the asset generator; the same pixels always give
// the same bytes, so regenerated assets can be compared with the committed ones.
#pragma once

#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Public functions

// `rgba` holds width * height * 4 bytes, rows top to bottom, straight (not premultiplied)
// alpha. Missing parent folders are created. A failure to write is fatal: the generator
// prints the path and exits, so a half-written asset set is never taken for a good one.
void WritePngFile(const std::string& path, int width, int height,
                  const std::vector<unsigned char>& rgba);
