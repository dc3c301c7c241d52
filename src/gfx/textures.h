// The noise, offscreen and credits textures, made once at start.
#pragma once
#include "gfx/gl.h"

constexpr int CreditsImageSize = 1024;
constexpr int CreditsPixelBytes = CreditsImageSize * CreditsImageSize * 4;

extern GLuint NoiseTexture;
extern GLuint OffscreenTexture;
extern GLuint CreditsTexture;
extern unsigned char CreditsPixelBuffer[CreditsPixelBytes];

extern const char CreditsImageFile[]; // in the data folder

void create_textures();
// Reads an 18-byte header and up to CreditsPixelBytes of pixels from the file into the buffer;
// returns 0 when the file cannot be opened (the buffer is then left as it was).
int read_credits_image(const char *path, unsigned char *pixels);
