// The texture levels the native builds get from GLU's gluBuild2DMipmaps, made the same way for
// WebGL, whose glGenerateMipmap filters as each browser likes. Plain C++, so the native tests
// compare it with what GLU gives under Mesa.
#pragma once
#include <vector>

// The next level of a square image of 4-byte pixels, `size` a power of two above 1: each byte the
// mean of its 2 x 2 block, rounded, as GLU makes it (the core's textures are all square).
std::vector<unsigned char> next_mipmap_level(const unsigned char *pixels, int size);
