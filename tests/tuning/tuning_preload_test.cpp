// The tuning file's three outcomes; the line's grammar is the capture tool's tests' concern.
#include "tuning/tuning_bank.h"
#include "tuning/tuning_preload.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

TEST(TuningFile, MissingStartsUntunedUnreadableOrMalformedIsNamedAndAppliesNothing) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "tuning-preload-test";
    fs::remove_all(folder);
    fs::create_directories(folder / "a folder");
    const std::string path = (folder / "tuning.txt").string(),
                      unreadable = (folder / "a folder").string();
    TuningBank bank(TuningBank::no_devices);
    std::string error;
    EXPECT_EQ(preload_tuning_file(bank, path.c_str(), error), TuningFileOutcome::missing);
    EXPECT_EQ(preload_tuning_file(bank, unreadable.c_str(), error), TuningFileOutcome::failed);
    EXPECT_NE(error.find("'" + unreadable + "'"), std::string::npos) << error;
    std::ofstream(path) << "2:0.50(64) 3:0.50(6x)\n";
    EXPECT_EQ(preload_tuning_file(bank, path.c_str(), error), TuningFileOutcome::failed);
    EXPECT_TRUE(error.find(path) != error.npos && error.find("'3:0.50(6x)'") != error.npos)
        << error;
    EXPECT_FALSE(bank.is_touched(2));
    // What the saver writes: the exported line and a line end.
    std::ofstream(path) << "2:0.50(64) 13:1.00(127) \n";
    EXPECT_EQ(preload_tuning_file(bank, path.c_str(), error), TuningFileOutcome::preloaded);
    EXPECT_TRUE(bank.is_touched(2) && bank.is_touched(13) && bank.value(13) == 1.0f);
    fs::remove_all(folder);
}
