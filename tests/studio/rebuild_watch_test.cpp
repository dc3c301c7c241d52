// The folder watch on a real folder, and its reports settled into rebuilds.
#include "platform/file_watch.h"
#include "studio/rebuild_debounce.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

std::set<std::string> poll_names() {
    std::set<std::string> names;
    file_watch_poll([](const char *name,
                       void *user) { static_cast<std::set<std::string> *>(user)->insert(name); },
                    &names);
    return names;
}

} // namespace

// Saved as vim saves by default: a swap file, the old file renamed to a backup, the new one
// written, the backup removed. All of it reaches the poll; only the shader's name counts.
TEST(RebuildWatch, AnEditorsSaveIsSeenAndGivesOneRebuild) {
    const fs::path folder = fs::temp_directory_path() / "rebuild-watch-test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "gras20.shader") << "old";
    EXPECT_EQ(file_watch_start((folder / "none").string().c_str()), 0);
    EXPECT_TRUE(poll_names().empty());
    ASSERT_EQ(file_watch_start(folder.string().c_str()), 1);
    EXPECT_TRUE(poll_names().empty());

    std::ofstream(folder / ".gras20.shader.swp") << "swap";
    fs::rename(folder / "gras20.shader", folder / "gras20.shader~");
    std::ofstream(folder / "gras20.shader") << "new";
    fs::remove(folder / "gras20.shader~");
    const std::set<std::string> names = poll_names();
    EXPECT_TRUE(names.count("gras20.shader") && names.count(".gras20.shader.swp"));
    EXPECT_TRUE(poll_names().empty()) << "a poll takes what is queued";

    RebuildDebounce debounce;
    uint32_t now = 0xFFFFFFF0u; // the timer wraps meanwhile
    for (const std::string &name : names) rebuild_debounce_note(debounce, name.c_str(), now += 3);
    int rebuilds = 0;
    for (uint32_t step = 0; step < 100; ++step)
        rebuilds += rebuild_debounce_due(debounce, now + step);
    EXPECT_EQ(rebuilds, 1);
    file_watch_stop();
    fs::remove_all(folder);
}

TEST(RebuildWatch, OnlyProgramSourcesCountAndAStreamOfChangesStillRebuilds) {
    RebuildDebounce debounce;
    for (const char *name :
         {".gras20.shader.swp", "gras20.shader~", "4913", "tune.mp3", "x.shader"})
        rebuild_debounce_note(debounce, name, 0);
    EXPECT_FALSE(rebuild_debounce_due(debounce, 1000));
    // A change every 20 ms for a second rebuilds every RebuildLatestMs; "" (lost count) counts.
    int rebuilds = 0;
    for (uint32_t now = 0; now < 1000; now += 20) {
        rebuild_debounce_note(debounce, now % 40 ? "ball8.shader" : "", now);
        rebuilds += rebuild_debounce_due(debounce, now + 10);
    }
    EXPECT_EQ(rebuilds, 1000 / ((RebuildLatestMs + 19) / 20 * 20));
    EXPECT_TRUE(rebuild_debounce_due(debounce, 1000 + RebuildQuietMs));
}
