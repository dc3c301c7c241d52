// demo-capture as a user runs it, on llvmpipe, in a scratch folder with tiny shaders of its own.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace fs = std::filesystem;

namespace {

// Red is the fractional part of slot 0, so a frame shows which time it was drawn for.
const char TinyShader[] = "#version 120\nvarying mat4 parameters;\nvoid main(void) {\n"
                          "    gl_FragColor = vec4(fract(parameters[0][0]), 0.5, 0.25, 1.0);\n}\n";
constexpr auto npos = std::string::npos;

std::string read_file(const fs::path &path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class CaptureRun : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/demo-capture-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        fs::create_directory(dir_ / "data");
        for (const char *scene : {
#include "gfx/scene_shader_files.inc"
             })
            write(std::string("data/") + scene, TinyShader);
    }
    void TearDown() override {
        fs::remove_all(dir_);
    }

    void write(const std::string &name, const char *text) {
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }

    // A command run in the scratch folder: its exit code, and what it printed in out_ and err_.
    int sh(const std::string &command) {
        const int status = std::system(
            ("cd '" + dir_.string() + "' && " + command + " >out.txt 2>err.txt").c_str());
        out_ = read_file(dir_ / "out.txt");
        err_ = read_file(dir_ / "err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int run(const std::string &arguments) {
        return sh("'" CAPTURE_EXE "' " + arguments);
    }

    // The RGB at (x, y) of a PNG of this size in the scratch folder; none when it is not one.
    std::vector<int> pixel(const std::string &name, int x, int y, int width, int height) {
        int w = 0, h = 0, channels = 0;
        unsigned char *rgb = stbi_load((dir_ / name).c_str(), &w, &h, &channels, 3);
        std::vector<int> pixel;
        if (rgb && w == width && h == height)
            pixel.assign(rgb + (y * w + x) * 3, rgb + (y * w + x) * 3 + 3);
        stbi_image_free(rgb);
        return pixel;
    }

    // At the centre of a 1024x512 frame of a tiny shader, the post pass gives
    // 1.2 * (0.99 c + grain), grain in [-0.03, 0].
    void expect_frame(const std::string &name, float red) {
        const std::vector<int> centre = pixel(name, 512, 256, 1024, 512);
        ASSERT_EQ(centre.size(), 3u) << name;
        const float colour[3] = {red, 0.5f, 0.25f};
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(centre[i] / 255.0, 1.2 * (0.99 * colour[i] - 0.015), 0.025)
                << name << " " << i;
    }

    // The file's inode: a file renamed into place has a new one, a file rewritten keeps its own.
    ino_t inode(const std::string &name) {
        struct stat status {};
        return stat((dir_ / name).c_str(), &status) == 0 ? status.st_ino : 0;
    }
    // What a crashed or failed run would leave: hidden scratch files.
    bool scratch_left(const fs::path &folder) {
        for (const auto &entry : fs::directory_iterator(folder))
            if (entry.path().filename().string()[0] == '.') return true;
        return false;
    }

    fs::path dir_;
    std::string out_, err_;
};

TEST_F(CaptureRun, FramesShowTheirOwnTimesAndTheSameFrameHasTheSameBytes) {
    ASSERT_EQ(run("--out frames --size 1024x512 --fps 10 --from 0.5 --to 0.6"), 0) << err_;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "frames"), {}), 2);
    // Slot 0 of each frame, from the parameter dump at the same rate: the fifth column of the two
    // rows under the header.
    ASSERT_EQ(run("--parameters --fps 10 --from 0.5 --to 0.6"), 0) << err_;
    float slot_0[2] = {std::nanf(""), std::nanf("")};
    std::sscanf(out_.c_str(), "%*[^\n] %*d,%*f,%*d,%*f,%f%*[^\n] %*d,%*f,%*d,%*f,%f", &slot_0[0],
                &slot_0[1]);
    expect_frame("frames/frame_000005.png", slot_0[0]);
    expect_frame("frames/frame_000006.png", slot_0[1]);
    // Rendered again, on its own: the same bytes.
    ASSERT_EQ(run("--out a.png --at 0.6 --fps 10 --size 1024x512"), 0) << err_;
    EXPECT_EQ(read_file(dir_ / "a.png"), read_file(dir_ / "frames/frame_000006.png"));

    // A shader file on its own through the post pass: slot 0 is the time, slot 15 zero.
    write("mine.shader", "varying mat4 parameters;\nvoid main(void) {\n    gl_FragColor = "
                         "vec4(parameters[0][0] * 0.1, 0.5, parameters[3][3] + 0.25, 1.0);\n}\n");
    ASSERT_EQ(run("--shader mine.shader --at 5 --out s.png --size 1024x512"), 0) << err_;
    expect_frame("s.png", 0.5f);
}

TEST_F(CaptureRun, ContactSheetHasNineCells) {
    ASSERT_EQ(run("--contact-sheet sheet.png --cell 64 --fps 10"), 0) << err_;
    // Three rows of three 64x32 cells in a 4-pixel border; each cell's centre is a scene's frame
    // (green 0.5 through the post pass), not the backdrop.
    for (int cell = 0; cell < 9; ++cell)
        EXPECT_NEAR(pixel("sheet.png", 36 + cell % 3 * 68, 20 + cell / 3 * 36, 208, 112).at(1), 145,
                    10)
            << cell;
}

TEST_F(CaptureRun, FailuresExitWithTheirCodeSayWhyAndWriteNothing) {
    // The last case breaks a scene's own shader.
    const struct {
        const char *broken_shader, *arguments;
        int code;
        const char *says;
    } cases[] = {
        {nullptr, "--parameters --tuning '2:0.50(64) 13:1.00(12)'", 2, "'13:1.00(12)'"},
        {nullptr, "--parameters --times missing.txt", 1, "missing.txt"},
        {nullptr, "--out x.mp4 --size 1024x512 --fps 10 --to 0.1", 1, "no music at data/tune.mp3"},
        {"mine.shader", "--shader mine.shader --out x.png", 1, "mine.shader does not compile"},
        {"data/ball8.shader", "--out x.png --at 1 --size 1024x512", 1, "data/ball8.shader"},
    };
    for (const auto &c : cases) {
        if (c.broken_shader)
            write(c.broken_shader, "void main(void) { gl_FragColor = vec4(oops); }\n");
        EXPECT_EQ(run(c.arguments), c.code) << c.arguments;
        EXPECT_NE(err_.find(c.says), npos) << c.arguments << " -> " << err_;
        // The compiler's log comes with it.
        EXPECT_TRUE(!c.broken_shader || err_.find("oops") != npos) << c.arguments << " -> " << err_;
        EXPECT_TRUE(out_.empty()) << c.arguments; // nothing ran on half an input
        EXPECT_FALSE(fs::exists(dir_ / "x.png") || fs::exists(dir_ / "x.mp4")) << c.arguments;
    }
}

TEST_F(CaptureRun, OneSecondOfVideoWithTheMusicInPlace) {
    // Music: a second of silence, then a tone. A video from 0.5 s must open on half a second of
    // the silence: music time stays loop time.
    ASSERT_EQ(sh("ffmpeg -nostdin -f lavfi -i \"aevalsrc='gte(t,1)*sin(2*PI*440*t)/2':d=3\" "
                 "data/tune.mp3"),
              0)
        << err_;
    ASSERT_EQ(run("--out v.mp4 --size 1024x512 --fps 10 --from 0.5 --to 1.4"), 0) << err_;
    // H.264 at the asked size and AAC, each a second long.
    double video = std::nan(""), audio = std::nan("");
    sh("ffprobe -v error -of csv=p=0 -show_entries stream=codec_name,width,height,pix_fmt,duration "
       "v.mp4");
    EXPECT_EQ(std::sscanf(out_.c_str(), "h264,1024,512,yuv420p,%lf aac,%lf", &video, &audio), 2)
        << out_;
    EXPECT_NEAR(video, 1.0, 0.01);
    EXPECT_NEAR(audio, 1.0, 0.06);
    // Loudest sample from `from` seconds on for `length` seconds, in dB.
    auto max_volume = [&](const char *from, const char *length) {
        sh(std::string("ffmpeg -nostdin -i v.mp4 -ss ") + from + " -t " + length +
           " -vn -af volumedetect -f null -");
        const std::size_t at = err_.find("max_volume: "); // none: NaN, which fails every check
        return at == npos ? std::nan("") : std::atof(err_.c_str() + at + 12);
    };
    EXPECT_LT(max_volume("0", "0.4"), -50.0);
    EXPECT_GT(max_volume("0.6", "0.3"), -12.0);
}

// Scenes of this shader are darker at the bottom and redder to the right, so a frame turned over
// or shifted shows.
const char GradientShader[] =
    "#version 120\nvarying vec3 objectPosition;\nvarying mat4 parameters;\n"
    "void main(void) {\n    gl_FragColor = vec4(0.5 + 0.5 * objectPosition.xy, "
    "fract(parameters[0][0]), 1.0);\n}\n";

TEST_F(CaptureRun, VideoFramesMatchThePngFramesAndCtrlCLeavesAPlayableVideo) {
    for (const char *scene : {
#include "gfx/scene_shader_files.inc"
         })
        write(scene, GradientShader);
    ASSERT_EQ(sh("ffmpeg -nostdin -f lavfi -i anullsrc=d=60 data/tune.mp3"), 0) << err_;
    const std::string span = " --size 1024x512 --fps 10 --from 0.5 --to 1.4";
    ASSERT_EQ(run("--out frames" + span), 0) << err_;
    ASSERT_EQ(run("--out v.mp4" + span), 0) << err_;
    // PSNR of the decoded video against the PNG frames, in RGB: about 42 dB at the default crf;
    // frames out of step or upside down give less than 20.
    sh("ffmpeg -nostdin -i v.mp4 -framerate 10 -start_number 5 -i frames/frame_%06d.png -lavfi "
       "'[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr' -f null -");
    const std::size_t at = err_.find("average:");
    ASSERT_NE(at, npos) << err_;
    EXPECT_GT(std::atof(err_.c_str() + at + 8), 35.0) << err_.substr(at);
    EXPECT_NE(err_.find("frame=   10"), npos) << err_;

    // Ctrl+C once frames reach the file: the frames drawn so far are finished into a video that
    // plays to its end; a hang is killed after 30 s and fails.
    EXPECT_EQ(sh("{ '" CAPTURE_EXE "' --out int.mp4 --size 1024x512 --fps 30 --to 60 & pid=$!; "
                 "for i in $(seq 300); do [ \"$(find . -name 'int.mp4*' -size +0)\" ] && break; "
                 "sleep 0.1; done; kill -INT $pid; "
                 "timeout 30 tail --pid=$pid -f /dev/null || kill -KILL $pid; wait $pid; }"),
              130)
        << err_;
    EXPECT_NE(err_.find("interrupted after"), npos) << err_;
    EXPECT_EQ(sh("ffmpeg -nostdin -v error -i int.mp4 -f null -"), 0) << err_;
    EXPECT_TRUE(err_.empty()) << err_;
}

// A farm's parts and join on one machine. A part run again puts new files in place of its segment
// and frames, so a join reading the old ones keeps them whole. The join refuses a joined video
// short of the parts' frames, and a segment longer (left by a farm of another span), shorter or
// missing, and leaves the video it would replace as it was.
TEST_F(CaptureRun, PartsAppearWholeAndTheJoinCountsEveryFrame) {
    ASSERT_EQ(sh("ffmpeg -nostdin -f lavfi -i anullsrc=d=1 data/tune.mp3 && "
                 "ffmpeg -nostdin -f lavfi -i anullsrc=d=0.2 short.mp3"),
              0)
        << err_;
    const std::string part = "'" CAPTURE_EXE "' --size 1024x512 --fps 10 --part ";
    const std::string span = " --to 0.5 ", join = "--join 2 --fps 10 --out v.mp4" + span;
    ASSERT_EQ(sh(part + "1/2 --out v.mp4" + span + "&&" + part + "2/2 --out v.mp4" + span + "&&" +
                 part + "2/2 --out f" + span),
              0)
        << err_;
    ASSERT_EQ(run(join), 0) << err_;
    const std::string joined = read_file(dir_ / "v.mp4");
    const ino_t segment = inode("v.part-2-of-2.mp4"), frame = inode("f/frame_000005.png");

    const std::string first = "v.part-1-of-2.mp4";
    const struct {
        std::string before, music, says;
    } refusals[] = {
        {"true", "--music short.mp3", "the joined video holds"},
        {part + "2/2 --out v.mp4 --to 0.7", "",
         "v.part-2-of-2.mp4 holds 4 frames where its part has 3"},
        {"head -c $(($(stat -c %s " + first + ") / 2)) " + first + " > cut && mv cut " + first, "",
         first + " holds"},
        {"rm " + first, "", first + " is missing"},
    };
    for (const auto &c : refusals) {
        ASSERT_EQ(sh(c.before), 0) << err_;
        EXPECT_EQ(run(join + c.music), 1) << c.says;
        EXPECT_NE(err_.find(c.says), npos) << err_;
        EXPECT_TRUE(read_file(dir_ / "v.mp4") == joined) << c.says; // left as it was
    }
    ASSERT_EQ(sh(part + "2/2 --out f --to 0.7"), 0) << err_;
    EXPECT_NE(inode("v.part-2-of-2.mp4"), segment);
    EXPECT_NE(inode("f/frame_000005.png"), frame);
    EXPECT_FALSE(scratch_left(dir_) || scratch_left(dir_ / "f"));
}

} // namespace
