// The one place where the image decoder is compiled, with the hardening settings this game
// needs: only the format it ships, and caps on image dimensions and on any one allocation, so
// that no header or chunk length can ask for an unbounded amount of memory. JPEG stays out:
// this decoder version reads past its Huffman tables on corrupt JPEG data, and every picture
// of the game is a PNG.

#include <cstddef>
#include <cstdlib>

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

// Enough for every buffer of the largest picture the loader accepts (4096 x 4096 pixels of
// 16-bit RGBA is 128 MiB, and the buffer of the compressed data grows by doubling up to twice
// that). The decoder allocates for a chunk's stated length before it reads the chunk, so a
// hostile length would otherwise cost gigabytes.
constexpr size_t nx_decoder_maxAllocation = size_t{1} << 28;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

void* nx_decoder_Allocate(size_t size) {
  return size <= nx_decoder_maxAllocation ? std::malloc(size) : nullptr;
}

// A refused growth leaves the block as it was; the decoder frees it when it gives up.
void* nx_decoder_Reallocate(void* block, size_t size) {
  return size <= nx_decoder_maxAllocation ? std::realloc(block, size) : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

// The decoder's functions, built with the limits above. Its pixel buffers are released with
// free() by their callers, which the plain free below keeps valid.
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 16384
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_MALLOC(size) nx_decoder_Allocate(size)
#define STBI_REALLOC(block, size) nx_decoder_Reallocate(block, size)
#define STBI_FREE(block) std::free(block)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
