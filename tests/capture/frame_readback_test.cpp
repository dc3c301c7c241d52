// The capture's read-back against the plain synchronous one on a headless context: the pixels of
// a frame reach the PNG file unchanged, rows and channels in place, and each of the two pixel
// buffers gives back the frame it was started on. A width whose rows are no multiple of 4 bytes
// shows any packing fault.
#include "frame_readback.h"
#include "gfx/gl.h"
#include "gl_session.h"
#include "image.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace {

constexpr int Width = 1001, Height = 515;

// Fills the framebuffer with bytes from a seeded generator.
void draw_noise(unsigned seed) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(Width) * Height * 3);
    for (unsigned char &byte : rgb) byte = (seed = seed * 1103515245u + 12345u) >> 23;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glRasterPos2i(-1, -1);
    glDrawPixels(Width, Height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
}

TEST(FrameReadback, PngFilesHoldTheFramesOwnPixels) {
    std::string error;
    ASSERT_TRUE(open_gl(Width, Height, error)) << error;
    FrameReadback readback;
    ASSERT_TRUE(readback.open(Width, Height, error)) << error;

    draw_noise(1);
    const Image first = read_frame(); // the synchronous read, top row first
    readback.start();
    draw_noise(2);
    const Image second = read_frame();
    readback.start();
    ASSERT_NE(first.rgb, second.rgb);

    std::vector<unsigned char> bottom_up(readback.frame_bytes());
    const std::string path = "/tmp/frame_readback_test_" + std::to_string(getpid()) + ".png";
    for (const Image *expected : {&first, &second}) {
        ASSERT_TRUE(readback.take(bottom_up.data(), expected == &second));
        ASSERT_TRUE(write_png_bottom_up(path, Width, Height, bottom_up.data(), error)) << error;
        int w = 0, h = 0, channels = 0;
        unsigned char *png = stbi_load(path.c_str(), &w, &h, &channels, 0);
        ASSERT_TRUE(png && w == Width && h == Height && channels == 3);
        EXPECT_TRUE(std::equal(expected->rgb.begin(), expected->rgb.end(), png));
        stbi_image_free(png);
    }
    std::remove(path.c_str());
    readback.close();
    close_gl();
}

} // namespace
