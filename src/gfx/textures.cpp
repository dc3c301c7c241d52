#include "gfx/textures.h"

#include "gfx/data_dir.h"
#include "gfx/noise.h"

#include <cstdio>

GLuint NoiseTexture = 0;
GLuint OffscreenTexture = 0;
GLuint CreditsTexture = 0;
unsigned char CreditsPixelBuffer[CreditsPixelBytes];

const char CreditsImageFile[] = "credits.tga";

int read_credits_image(const char *path, unsigned char *pixels) {
    std::FILE *file = std::fopen(path, "rb");
    if (!file) return 0;
    // The header is not examined: any file is read as 1024 x 1024 BGRA rows behind 18 bytes, the
    // first stored row becoming texture row 0. A short file leaves the rest of the buffer as it
    // was.
    unsigned char header[18];
    size_t header_read = std::fread(header, 1, sizeof header, file);
    if (header_read == sizeof header) std::fread(pixels, 1, CreditsPixelBytes, file);
    std::fclose(file);
    return 1;
}

static void set_linear_clamped() {
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_CLAMP_TO_EDGE));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_CLAMP_TO_EDGE));
}

void create_textures() {
    glEnable(GL_TEXTURE_2D);

    glGenTextures(1, &NoiseTexture);
    glBindTexture(GL_TEXTURE_2D, NoiseTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, NoiseSize, NoiseSize, GL_BGRA, GL_UNSIGNED_BYTE,
                      NoisePixels);

    glGenTextures(1, &OffscreenTexture);
    glBindTexture(GL_TEXTURE_2D, OffscreenTexture);
    set_linear_clamped();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1024, 512, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);

    glGenTextures(1, &CreditsTexture);
    glBindTexture(GL_TEXTURE_2D, CreditsTexture);
    set_linear_clamped();
    // Missing image: the texture keeps no image and the run goes on without a word.
    if (!read_credits_image(data_path(CreditsImageFile).text, CreditsPixelBuffer)) return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glEnable(GL_TEXTURE_2D);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, CreditsImageSize, CreditsImageSize, GL_BGRA,
                      GL_UNSIGNED_BYTE, CreditsPixelBuffer);
}
