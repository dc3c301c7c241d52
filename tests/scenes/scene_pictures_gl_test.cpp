// Each scene's whole frame (scene pass, post pass and, in scene 1, the credits) on headless Mesa
// against a committed picture: the 1024 x 512 window averaged over 16 x 16 blocks, kept as
// tests/scenes/pictures/scene_N.ppm. Averaging and a tolerance of a few levels let a Mesa update
// through; a texture bound in the wrong place or a scene drawn with the wrong numbers does not.
// After a change to data/*.shader or to what a scene draws, write the pictures anew with
//   SCENE_PICTURES=write ctest --test-dir build -R ScenePictures
#include "gfx/resources.h"
#include "platform/headless_context.h"
#include "platform/message_box.h"
#include "timeline/parameter_block.h"
#include "timeline/scenes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int Width = 1024, Height = 512, Block = 16;
constexpr int Columns = Width / Block, Rows = Height / Block;

// The window as RGB block means, top row first (as the picture file holds it).
std::vector<unsigned char> window_blocks() {
    std::vector<unsigned char> rgba(Width * Height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<unsigned char> blocks;
    for (int row = Rows - 1; row >= 0; --row)
        for (int column = 0; column < Columns; ++column)
            for (int c = 0; c < 3; ++c) {
                long sum = 0;
                for (int y = row * Block; y < (row + 1) * Block; ++y)
                    for (int x = column * Block; x < (column + 1) * Block; ++x)
                        sum += rgba[(y * Width + x) * 4 + c];
                blocks.push_back(
                    static_cast<unsigned char>((sum + Block * Block / 2) / (Block * Block)));
            }
    return blocks;
}

const std::string Header =
    "P6\n" + std::to_string(Columns) + " " + std::to_string(Rows) + "\n255\n";

std::vector<unsigned char> read_picture(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(file), {}};
    if (bytes.compare(0, Header.size(), Header) != 0) return {};
    return {bytes.begin() + static_cast<long>(Header.size()), bytes.end()};
}

void write_picture(const std::string &path, const std::vector<unsigned char> &blocks) {
    std::ofstream file(path, std::ios::binary);
    file << Header;
    file.write(reinterpret_cast<const char *>(blocks.data()), static_cast<long>(blocks.size()));
}

// A time well inside each scene where its subject shows (scene 1: a credits pair at full opacity).
const float LocalTimes[SceneCount] = {6.5f, 7.5f, 3.65f, 3.75f, 3.65f, 6.95f, 9.0f, 20.6f, 155.0f};

TEST(ScenePictures, EachSceneDrawsItsCommittedPicture) {
    static std::string boxes;
    MessageBoxHook = [](void *, const char *text, const char *, int) { boxes += text; };
    ASSERT_TRUE(headless_context_init(Width, Height)) << headless_context_error();
    std::filesystem::current_path(DEMO_SOURCE_DIR);
    ASSERT_TRUE(load_resources() && boxes.empty()) << boxes;
    const char *mode = std::getenv("SCENE_PICTURES");
    const bool write = mode && std::string(mode) == "write";
    for (int scene = 1; scene <= SceneCount; ++scene) {
        glEnable(GL_CULL_FACE);
        for (float &slot : ParameterBlock) slot = 0.0f;
        SceneScripts[scene - 1](LocalTimes[scene - 1]);
        const std::vector<unsigned char> blocks = window_blocks();
        const std::string path = "tests/scenes/pictures/scene_" + std::to_string(scene) + ".ppm";
        if (write) {
            write_picture(path, blocks);
            continue;
        }
        const std::vector<unsigned char> expected = read_picture(path);
        ASSERT_EQ(expected.size(), blocks.size()) << path << " is missing or not 64 x 32";
        long total = 0;
        int worst = 0;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const int off = std::abs(blocks[i] - expected[i]);
            total += off;
            worst = std::max(worst, off);
        }
        const double mean = static_cast<double>(total) / static_cast<double>(blocks.size());
        // Mesa's softpipe against llvmpipe's pictures: a mean of 0.25 levels, a worst of 8.
        EXPECT_TRUE(mean <= 2.0 && worst <= 24) << "scene " << scene << ": off by " << mean
                                                << " levels on average, " << worst << " at worst";
    }
    headless_context_end();
}

} // namespace
