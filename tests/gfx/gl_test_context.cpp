#include "gl_test_context.h"

#include "gfx/gl_entry_points.h"
#include "gfx/noise.h"
#include "gfx/resources.h"
#include "gfx/textures.h"
#include "gfx/programs.h"
#include "platform/headless_context.h"
#include "platform/message_box.h"
#include "timeline/scene_pass.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

std::vector<RecordedBox> Boxes;

const char *const ValidSceneShader = "#version 120\n"
                                     "varying vec3 objectPosition;\n"
                                     "varying mat4 parameters;\n"
                                     "void main(void) { gl_FragColor = vec4(0.25); }\n";

ShaderFolder::ShaderFolder(const ShaderFiles &files) {
    namespace fs = std::filesystem;
    // Folders may outlive each other in any order: always return to where the program started.
    static const std::string start = fs::current_path().string();
    previous_ = start;
    char pattern[] = "/tmp/demo-gl-test-XXXXXX";
    path_ = mkdtemp(pattern);
    fs::create_directory(path_ + "/data");
    for (const char *file : SceneShaderFiles)
        std::ofstream(path_ + "/data/" + file) << ValidSceneShader;
    for (const auto &[name, text] : files) {
        if (name[0] == '-')
            fs::remove(path_ + "/data/" + name.substr(1));
        else
            write(name, text);
    }
    fs::current_path(path_);
}

ShaderFolder::~ShaderFolder() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(path_);
}

void ShaderFolder::write(const std::string &name, const std::string &text) {
    std::ofstream(path_ + "/data/" + name, std::ios::binary) << text;
}

Pixels offscreen_pixels() {
    Pixels rgba(OffscreenWidth * OffscreenHeight * 4);
    glBindTexture(GL_TEXTURE_2D, OffscreenTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

bool is_linked(GLuint program) {
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status != 0;
}

namespace {

class GlEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_TRUE(headless_context_init(1024, 576)) << "no headless GL context";
        std::string missing;
        ASSERT_TRUE(fetch_gl_entry_points(missing)) << missing;
        MessageBoxHook = [](void *, const char *text, const char *caption, int) {
            Boxes.push_back({text, caption});
        };
        make_noise();
        ShaderFolder no_credits; // the textures are made where no credits image lies
        create_textures();
        SceneQuadric = gluNewQuadric();
    }
    void TearDown() override { headless_context_end(); }
};

} // namespace

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GlEnvironment);
    return RUN_ALL_TESTS();
}
