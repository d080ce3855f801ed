// The PNG writer for the tests and programs that make picture files. It is header-only: a
// program includes this once, which compiles the writer into it; its own warnings are not ours.
#pragma once

#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop
