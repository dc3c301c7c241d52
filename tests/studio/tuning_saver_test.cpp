// The tuning file saver as a component: what it writes, how often, and how it fails.
#include "studio/tuning_saver.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"
#include "tuning/tuning_line.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

struct Folder {
    fs::path path = fs::temp_directory_path() / "tuning-saver-test";
    Folder() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
};

std::string contents(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string line_of(TuningBank &bank) {
    char line[TunedValuesLineSize];
    format_tuned_values(bank, line, sizeof line);
    return line;
}

bool eventually(const std::function<bool()> &done) {
    for (int waited = 0; waited < 3000; waited += 10) {
        if (done()) return true;
        std::this_thread::sleep_for(milliseconds(10));
    }
    return done();
}

} // namespace

// Every controller flips between its shortest and longest entry while a reader reads the file
// the whole time: each read is a whole line, and the writes come at most ten a second.
TEST(TuningSaver, SavesEveryChangeWholeAtMostTenTimesASecond) {
    Folder folder;
    const fs::path path = folder.path / "tuning.txt";
    TuningBank bank(TuningBank::no_devices);
    for (int c = 0; c < ControllerCount; ++c) bank.receive(0xB0, static_cast<unsigned char>(c), 1);
    unsigned saves = 0;
    {
        TuningSaver saver(bank, path.string());
        std::this_thread::sleep_for(milliseconds(250));
        EXPECT_FALSE(fs::exists(path)) << "nothing changed since the saver started";

        std::atomic<bool> done{false};
        int reads = 0, whole = 0;
        std::thread reader([&] {
            while (!done) {
                std::ifstream file(path, std::ios::binary);
                if (!file) continue;
                std::ostringstream read;
                read << file.rdbuf();
                const std::string text = read.str();
                std::vector<TuningEntry> entries;
                std::string error;
                ++reads;
                whole += !text.empty() && text.back() == '\n' &&
                         parse_tuning_line(text, entries, error) && entries.size() == 128;
            }
        });
        const auto start = std::chrono::steady_clock::now();
        for (int round = 0; std::chrono::steady_clock::now() - start < milliseconds(1000);
             ++round) {
            for (int c = 0; c < ControllerCount; ++c)
                bank.receive(0xB0, static_cast<unsigned char>(c), round % 2 ? 0 : 127);
            std::this_thread::sleep_for(milliseconds(1));
        }
        done = true;
        reader.join();
        EXPECT_GT(reads, 0);
        EXPECT_EQ(whole, reads) << "a reader saw a part of a line";
        saves = saver.saves();
        EXPECT_LE(saves, 11u);
        EXPECT_GE(saves, 1u);
        EXPECT_EQ(saver.status(), "");
    }
    // The last change is saved when the saver stops, and no temporary file stays behind.
    EXPECT_EQ(contents(path), line_of(bank) + "\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1);
}

// A folder that does not exist, or cannot hold files: the overlay gets a reason naming the file,
// the bank carries on, and a save succeeds again once it can.
TEST(TuningSaver, AnUnwritableFileIsReportedAndTheSavesResumeWhenItIsWritable) {
    Folder folder;
    for (const fs::path &path :
         {folder.path / "later" / "tuning.txt", fs::path("/proc/tuning.txt")}) {
        TuningBank bank(TuningBank::no_devices);
        TuningSaver saver(bank, path.string());
        bank.receive(0xB0, 13, 127);
        ASSERT_TRUE(eventually([&] { return !saver.status().empty(); })) << path;
        EXPECT_NE(saver.status().find(path.string()), std::string::npos) << saver.status();
        EXPECT_EQ(saver.saves(), 0u);
        EXPECT_TRUE(bank.is_touched(13));
        if (path.parent_path() != folder.path / "later") continue;
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(eventually([&] { return saver.saves() == 1; }));
        EXPECT_EQ(saver.status(), "");
        EXPECT_EQ(contents(path), "13:1.00(127) \n");
    }
}
