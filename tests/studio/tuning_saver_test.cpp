// The tuning file saver as a component: what it writes, how often, and how it fails.
#include "studio/tuning_saver.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"
#include "tuning/tuning_line.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>

namespace fs = std::filesystem;
using std::chrono::milliseconds;

static std::string read_whole(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

static bool within_3s(const std::function<bool()> &done) {
    for (int waited = 0; !done() && waited < 3000; waited += 10)
        std::this_thread::sleep_for(milliseconds(10));
    return done();
}

TEST(TuningSaver, SavesEveryChangeWholeAtMostTenTimesASecondAndTheLastOneAtTheEnd) {
    const fs::path folder = fs::temp_directory_path() / "tuning-saver-test", path = folder / "t";
    fs::remove_all(folder);
    fs::create_directories(folder);
    TuningBank bank(TuningBank::no_devices);
    const auto set_all = [&](int byte) {
        for (int c = 0; c < ControllerCount; ++c)
            bank.receive(0xB0, static_cast<unsigned char>(c), static_cast<unsigned char>(byte));
    };
    set_all(1);
    {
        TuningSaver saver(bank, path.string());
        std::this_thread::sleep_for(milliseconds(250));
        EXPECT_FALSE(fs::exists(path)) << "nothing changed since the saver started";
        set_all(0);
        ASSERT_TRUE(within_3s([&] { return saver.saves() == 1; }));
        // Every entry flips between its shortest and longest form for a second while a reader
        // reads the file: each read is a whole line.
        std::atomic<bool> done{false};
        int reads = 0, whole = 0;
        std::thread reader([&] {
            std::vector<TuningEntry> entries;
            for (std::string error; !done; ++reads) {
                const std::string text = read_whole(path);
                whole += !text.empty() && text.back() == '\n' &&
                         parse_tuning_line(text, entries, error) && entries.size() == 128;
            }
        });
        const auto start = std::chrono::steady_clock::now();
        for (int round = 0; std::chrono::steady_clock::now() - start < milliseconds(1000); ++round)
            set_all(round % 2 ? 0 : 127), std::this_thread::sleep_for(milliseconds(1));
        done = true;
        reader.join();
        EXPECT_EQ(whole, reads) << "a reader saw a part of a line";
        EXPECT_LE(saver.saves(), 12u);
        bank.receive(0xB0, 5, 64); // a move just before the end: only the save at the stop has it
    }
    char line[TunedValuesLineSize];
    format_tuned_values(bank, line, sizeof line);
    EXPECT_EQ(read_whole(path), std::string(line) + "\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1) << "a temporary file stayed";
    fs::remove_all(folder);
}

// A folder that does not exist yet, or cannot hold files: the reason names the file, the bank
// carries on, and the saves resume once the file can be written.
TEST(TuningSaver, AnUnwritableFileIsReportedUntilItCanBeWritten) {
    const fs::path later = fs::temp_directory_path() / "tuning-saver-later";
    fs::remove_all(later);
    for (const fs::path &path : {later / "tuning.txt", fs::path("/proc/tuning.txt")}) {
        TuningBank bank(TuningBank::no_devices);
        TuningSaver saver(bank, path.string());
        bank.receive(0xB0, 13, 127);
        ASSERT_TRUE(within_3s([&] { return !saver.status().empty(); })) << path;
        EXPECT_EQ(saver.status().rfind(
                      "tuning not saved: cannot create a file beside " + path.string() + ": ", 0),
                  0u)
            << saver.status();
        EXPECT_TRUE(saver.saves() == 0 && bank.is_touched(13));
        if (path.parent_path() != later) continue;
        fs::create_directories(later);
        ASSERT_TRUE(within_3s([&] { return saver.saves() == 1 && saver.status().empty(); }));
        EXPECT_EQ(read_whole(path), "13:1.00(127) \n");
    }
    fs::remove_all(later);
}
