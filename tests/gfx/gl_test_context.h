// A headless GL context for the whole test program, and helpers shared by the GL tests.
#pragma once
#include "gfx/gl.h"

#include <map>
#include <string>
#include <vector>

struct RecordedBox {
    std::string text;
    std::string caption;
};
extern std::vector<RecordedBox> Boxes;

// A fresh working directory holding data/ with nine valid shaders, some replaced by `files`
// (file name under data/ -> text; an empty text with name prefixed '-' removes the file).
using ShaderFiles = std::map<std::string, std::string>;

class ShaderFolder {
  public:
    explicit ShaderFolder(const ShaderFiles &files = {});
    ShaderFolder(const ShaderFolder &) = delete;
    ~ShaderFolder();
    const std::string &path() const { return path_; }
    void write(const std::string &name, const std::string &text);

  private:
    std::string path_;
    std::string previous_;
};

extern const char *const ValidSceneShader;
bool is_linked(GLuint program);
// The offscreen texture's 1024 x 512 RGBA bytes: what the scene pass copied.
using Pixels = std::vector<unsigned char>;
Pixels offscreen_pixels();
