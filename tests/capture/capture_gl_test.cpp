// demo-capture as a user runs it, on llvmpipe, in a scratch folder with tiny shaders of its own.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace fs = std::filesystem;

namespace {

const char *const SceneFiles[] = {"verystart", "showTex", "cloudstuff.1", "gras20",   "gras10",
                                  "gras12.2",  "ball8",   "Background",   "simpleTex"};

// Red is the fractional part of slot 0, so a frame shows which time it was drawn for.
const char TinyShader[] = "#version 120\n"
                          "varying mat4 parameters;\n"
                          "void main(void) {\n"
                          "    gl_FragColor = vec4(fract(parameters[0][0]), 0.5, 0.25, 1.0);\n"
                          "}\n";

std::string read_file(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void write_file(const fs::path &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct Result {
    int code;
    std::string out, err;
};

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char *at(int x, int y) const { return &rgb[(y * width + x) * 3]; }
};

class CaptureRun : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/demo-capture-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        fs::create_directory(dir_ / "data");
        for (const char *scene : SceneFiles)
            write_file(dir_ / "data" / (std::string(scene) + ".shader"), TinyShader);
    }
    void TearDown() override { fs::remove_all(dir_); }

    Result run(const std::string &arguments) {
        const std::string command =
            "cd '" + dir_.string() + "' && '" CAPTURE_EXE "' " + arguments + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        Result result;
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = read_file(dir_ / "out.txt");
        result.err = read_file(dir_ / "err.txt");
        return result;
    }

    Picture load(const std::string &name) {
        Picture picture;
        int channels = 0;
        unsigned char *pixels =
            stbi_load((dir_ / name).c_str(), &picture.width, &picture.height, &channels, 3);
        EXPECT_NE(pixels, nullptr) << name;
        if (!pixels) return picture;
        picture.rgb.assign(pixels, pixels + picture.width * picture.height * 3);
        stbi_image_free(pixels);
        return picture;
    }

    // Slot 0 of the frame at `now` ms, from the parameter dump of the same rate.
    float slot_0(const std::string &rate, int32_t now) {
        Result dump = run("--parameters " + rate);
        std::istringstream rows(dump.out);
        std::string row;
        std::getline(rows, row);
        while (std::getline(rows, row)) {
            if (std::stol(row) != now) continue;
            std::istringstream cells(row);
            std::string cell;
            for (int i = 0; i < 5; ++i) std::getline(cells, cell, ',');
            return std::stof(cell);
        }
        ADD_FAILURE() << "no frame at " << now;
        return 0.0f;
    }

    // The post pass at the centre: 1.2 * (0.99 c + grain), grain in [-0.03, 0].
    static void expect_centre(const Picture &p, float red) {
        const unsigned char *c = p.at(p.width / 2, p.height / 2);
        EXPECT_NEAR(c[0] / 255.0, 1.2 * (0.99 * red - 0.015), 0.025);
        EXPECT_NEAR(c[1] / 255.0, 1.2 * (0.99 * 0.5 - 0.015), 0.025);
        EXPECT_NEAR(c[2] / 255.0, 1.2 * (0.99 * 0.25 - 0.015), 0.025);
    }

    fs::path dir_;
};

TEST_F(CaptureRun, TwoFramesIntoAFolderShowTheirOwnTimes) {
    Result r = run("--out frames --size 1024x512 --fps 10 --from 0.5 --to 0.6");
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir_ / "frames"))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names, (std::vector<std::string>{"frame_000005.png", "frame_000006.png"}));
    const Picture first = load("frames/frame_000005.png");
    const Picture second = load("frames/frame_000006.png");
    EXPECT_EQ(first.width, 1024);
    EXPECT_EQ(first.height, 512);
    expect_centre(first, slot_0("--fps 10", 500));
    expect_centre(second, slot_0("--fps 10", 600));
}

TEST_F(CaptureRun, SameFrameSameBytes) {
    ASSERT_EQ(run("--out a.png --at 0.6 --fps 10 --size 1024x512").code, 0);
    ASSERT_EQ(run("--out b.png --at 0.6 --fps 10 --size 1024x512").code, 0);
    ASSERT_EQ(run("--out frames --fps 10 --size 1024x512 --from 0.6 --to 0.6").code, 0);
    const std::string a = read_file(dir_ / "a.png");
    EXPECT_GT(a.size(), 1000u);
    EXPECT_EQ(a, read_file(dir_ / "b.png"));
    // Reached as a single frame or inside a range: the same frame.
    EXPECT_EQ(a, read_file(dir_ / "frames/frame_000006.png"));
}

TEST_F(CaptureRun, ShaderFileThroughThePassWithSlot0AsTime) {
    write_file(dir_ / "mine.shader", "varying mat4 parameters;\n"
                                     "void main(void) {\n"
                                     "    gl_FragColor = vec4(parameters[0][0] * 0.1, 0.5,\n"
                                     "                        parameters[3][3] + 0.25, 1.0);\n"
                                     "}\n");
    Result r = run("--shader mine.shader --at 5 --out s.png --size 1024x512");
    ASSERT_EQ(r.code, 0) << r.err;
    const Picture picture = load("s.png");
    ASSERT_EQ(picture.width, 1024);
    expect_centre(picture, 0.5f);

    write_file(dir_ / "broken.shader", "void main(void) { gl_FragColor = vec4(oops); }\n");
    r = run("--shader broken.shader --out t.png");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("broken.shader does not compile"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "t.png"));
}

TEST_F(CaptureRun, SceneShaderErrorEndsTheCaptureOnStderr) {
    write_file(dir_ / "data/ball8.shader", "void main(void) { gl_FragColor = vec4(oops); }\n");
    Result r = run("--out x.png --at 1 --size 1024x512");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("data/ball8.shader"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("oops"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "x.png"));
}

TEST_F(CaptureRun, UsageAndInputErrorsExitWithTwo) {
    Result r = run("--parameters --tuning '2:0.50(64) 13:1.00(12)'");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("'13:1.00(12)'"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()); // nothing ran with half a tuning
    write_file(dir_ / "times.txt", "0\n17\nlater\n");
    r = run("--parameters --times times.txt");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
    EXPECT_EQ(run("--size 10x10 --out f").code, 2);
    EXPECT_EQ(run("--parameters --times missing.txt").code, 1);
    r = run("--help");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("--contact-sheet"), std::string::npos);
}

TEST_F(CaptureRun, ContactSheetHasNineCells) {
    Result r = run("--contact-sheet sheet.png --cell 64 --fps 10");
    ASSERT_EQ(r.code, 0) << r.err;
    const Picture sheet = load("sheet.png");
    ASSERT_EQ(sheet.width, 3 * 64 + 4 * 4);
    ASSERT_EQ(sheet.height, 3 * 32 + 4 * 4);
    // Each cell's centre is a scene's frame (green 0.5 through the post pass), not the backdrop.
    for (int cell = 0; cell < 9; ++cell) {
        const unsigned char *c = sheet.at(4 + (cell % 3) * 68 + 32, 4 + (cell / 3) * 36 + 16);
        EXPECT_NEAR(c[1], 145, 10) << cell;
    }
    EXPECT_EQ(sheet.at(1, 1)[1], 24);
}

// ffprobe's view of a file: "key=value" lines of the chosen stream entries.
std::string probe(const fs::path &file, const char *stream) {
    const std::string command = std::string("ffprobe -v error -select_streams ") + stream +
                                " -show_entries stream=codec_name,width,height,pix_fmt,duration "
                                "-of default=noprint_wrappers=1 '" +
                                file.string() + "' 2>&1";
    std::string text;
    if (std::FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
        pclose(pipe);
    }
    return text;
}

double probe_value(const std::string &text, const std::string &key) {
    const std::size_t at = text.find(key + "=");
    return at == std::string::npos ? -1.0 : std::atof(text.c_str() + at + key.size() + 1);
}

// Loudest sample of the audio between `from` and `from + length` seconds, in dB.
double max_volume(const fs::path &file, double from, double length) {
    std::ostringstream command;
    command << "ffmpeg -hide_banner -nostdin -ss " << from << " -t " << length << " -i '"
            << file.string() << "' -map 0:a -af volumedetect -f null - 2>&1";
    std::string text;
    if (std::FILE *pipe = popen(command.str().c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
        pclose(pipe);
    }
    const std::size_t at = text.find("max_volume: ");
    return at == std::string::npos ? 0.0 : std::atof(text.c_str() + at + 12);
}

TEST_F(CaptureRun, OneSecondOfVideoWithTheMusicInPlace) {
    // Music: a second of silence, then a tone. Music time 0 must stay at loop time 0.
    const std::string make_music =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i "
        "\"aevalsrc='if(gte(t,1),0.5*sin(2*PI*440*t),0)':s=44100:d=3\" -c:a libmp3lame '" +
        (dir_ / "data/tune.mp3").string() + "'";
    ASSERT_EQ(std::system(make_music.c_str()), 0);

    Result r = run("--out start.mp4 --size 1024x512 --fps 10 --to 0.9");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string video = probe(dir_ / "start.mp4", "v");
    EXPECT_NE(video.find("codec_name=h264"), std::string::npos) << video;
    EXPECT_NE(video.find("pix_fmt=yuv420p"), std::string::npos) << video;
    EXPECT_EQ(probe_value(video, "width"), 1024);
    EXPECT_EQ(probe_value(video, "height"), 512);
    EXPECT_NEAR(probe_value(video, "duration"), 1.0, 0.01);
    const std::string audio = probe(dir_ / "start.mp4", "a");
    EXPECT_NE(audio.find("codec_name=aac"), std::string::npos) << audio;
    EXPECT_NEAR(probe_value(audio, "duration"), 1.0, 0.06);
    EXPECT_LT(max_volume(dir_ / "start.mp4", 0.0, 0.8), -50.0);

    r = run("--out later.mp4 --size 1024x512 --fps 10 --from 1 --to 1.9");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NEAR(probe_value(probe(dir_ / "later.mp4", "a"), "duration"), 1.0, 0.06);
    EXPECT_GT(max_volume(dir_ / "later.mp4", 0.1, 0.7), -12.0);

    fs::remove(dir_ / "data/tune.mp3");
    r = run("--out none.mp4 --size 1024x512 --fps 10 --to 0.1");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("no music at data/tune.mp3"), std::string::npos) << r.err;
}

} // namespace
