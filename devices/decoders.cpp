// The one place where the image decoder is compiled, with the hardening settings this game
// needs: only the format it ships, and a cap on image dimensions so a hostile header cannot
// ask for an unbounded allocation. JPEG stays out: this decoder version reads past its
// Huffman tables on corrupt JPEG data, and every picture of the game is a PNG.

#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 16384
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
