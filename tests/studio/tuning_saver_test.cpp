// The tuning file saver as a component: what it writes, how often, and how it fails; and the
// file replace it writes with.
#include "platform/file_replace.h"
#include "studio/tuning_saver.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"
#include "tuning/tuning_line.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

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

// What links lead to is replaced and the links stay: a chain of them, relative and absolute, one
// whose target does not exist yet, both into another folder (on another file system where /dev/shm
// is one, so that a temporary file beside the link could not be renamed over the target). The file
// keeps its mode; a new one gets the umask's. A cycle of links is refused.
TEST(FileReplace, ReplacesWhatLinksLeadToAndKeepsTheMode) {
    const fs::path here = fs::temp_directory_path() / "file-replace-here",
                   there = (fs::is_directory("/dev/shm") ? fs::path("/dev/shm")
                                                         : fs::temp_directory_path()) /
                           "file-replace-there";
    for (const fs::path &folder : {here, there})
        fs::remove_all(folder), fs::create_directories(folder);
    std::string error;
    const auto replace = [&](const fs::path &path, const std::string &text) {
        return file_replace(path.c_str(), text.data(), text.size(), error);
    };
    const auto mode = [](const fs::path &path) {
        return static_cast<int>(fs::status(path).permissions() & fs::perms::mask);
    };
    const mode_t umask_before = umask(002);
    EXPECT_TRUE(replace(here / "new", "a")) << error;
    umask(umask_before);
    EXPECT_EQ(mode(here / "new"), 0664);
    fs::permissions(here / "new", fs::perms(0600));
    EXPECT_TRUE(replace(here / "new", "b") && read_whole(here / "new") == "b") << error;
    EXPECT_EQ(mode(here / "new"), 0600);

    std::ofstream(there / "file") << "old";
    fs::permissions(there / "file", fs::perms(0600));
    fs::create_symlink(there / "file", here / "second");
    fs::create_symlink("second", here / "first");
    fs::create_symlink(there / "later", here / "dangling");
    EXPECT_TRUE(replace(here / "first", "c")) << error;
    EXPECT_TRUE(replace(here / "dangling", "d")) << error;
    for (const char *link : {"first", "second", "dangling"})
        EXPECT_TRUE(fs::is_symlink(here / link)) << link;
    EXPECT_EQ(read_whole(there / "file"), "c");
    EXPECT_EQ(mode(there / "file"), 0600);
    EXPECT_EQ(read_whole(there / "later"), "d");

    fs::create_symlink("loop-b", here / "loop-a");
    fs::create_symlink("loop-a", here / "loop-b");
    EXPECT_FALSE(replace(here / "loop-a", "e"));
    EXPECT_EQ(error, "cannot follow the links of " + (here / "loop-a").string() +
                         ": Too many levels of symbolic links");
    EXPECT_EQ(std::distance(fs::directory_iterator(here), {}), 6) << "a temporary file stayed";
    EXPECT_EQ(std::distance(fs::directory_iterator(there), {}), 2) << "a temporary file stayed";
    for (const fs::path &folder : {here, there}) fs::remove_all(folder);
}
