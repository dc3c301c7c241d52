// The tuning file's three outcomes; the line itself is the capture tool's tests' concern.
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"
#include "tuning/tuning_preload.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

bool any_touched(TuningBank &bank) {
    for (int c = 0; c < ControllerCount; ++c)
        if (bank.is_touched(c)) return true;
    return false;
}

} // namespace

TEST(TuningFile, MissingStartsUntunedUnreadableOrMalformedIsNamedAndAppliesNothing) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "tuning-preload-test";
    fs::remove_all(folder);
    fs::create_directories(folder / "a folder");
    TuningBank bank(TuningBank::no_devices);
    std::string error;
    const std::string missing = (folder / "none.txt").string();
    EXPECT_EQ(preload_tuning_file(bank, missing.c_str(), error), TuningFileOutcome::missing);

    const std::string unreadable = (folder / "a folder").string();
    EXPECT_EQ(preload_tuning_file(bank, unreadable.c_str(), error), TuningFileOutcome::failed);
    EXPECT_NE(error.find("'" + unreadable + "'"), std::string::npos) << error;

    const std::string path = (folder / "tuning.txt").string();
    std::ofstream(path) << "2:0.50(64) 3:0.50(6x)\n";
    EXPECT_EQ(preload_tuning_file(bank, path.c_str(), error), TuningFileOutcome::failed);
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("'3:0.50(6x)'"), std::string::npos) << error;
    EXPECT_FALSE(any_touched(bank));

    // What the saver writes: the exported line and a line end.
    TuningBank live(TuningBank::no_devices);
    live.receive(0xB0, 2, 64);
    live.receive(0xB0, 13, 127);
    char line[TunedValuesLineSize];
    format_tuned_values(live, line, sizeof line);
    std::ofstream(path) << line << "\n";
    EXPECT_EQ(preload_tuning_file(bank, path.c_str(), error), TuningFileOutcome::preloaded);
    for (int c = 0; c < ControllerCount; ++c)
        EXPECT_TRUE(bank.is_touched(c) == live.is_touched(c) && bank.value(c) == live.value(c))
            << c;
    fs::remove_all(folder);
}
