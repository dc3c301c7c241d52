// The folder watch on a real folder, its reports settled into rebuilds.
#include "platform/file_watch.h"
#include "studio/rebuild_debounce.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace fs = std::filesystem;

// Saved as vim saves: a swap file, the old file renamed to a backup, the new one written, the
// backup removed. All of it reaches the poll; the names other than the shader's count for nothing.
TEST(RebuildWatch, AnEditorsSaveIsSeenAndGivesOneRebuild) {
    const fs::path folder = fs::temp_directory_path() / "rebuild-watch-test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "gras20.shader") << "old";
    std::set<std::string> names;
    const auto poll = [&] {
        names.clear();
        return file_watch_poll(
            [](const char *name, void *to) {
                static_cast<std::set<std::string> *>(to)->insert(name);
            },
            &names);
    };
    EXPECT_TRUE(file_watch_start((folder / "none").string().c_str()) == 0 && poll() == 0);
    ASSERT_EQ(file_watch_start(folder.string().c_str()), 1);
    EXPECT_EQ(poll(), 0);
    std::ofstream(folder / ".gras20.shader.swp") << "swap";
    fs::rename(folder / "gras20.shader", folder / "gras20.shader~");
    std::ofstream(folder / "gras20.shader") << "new";
    fs::remove(folder / "gras20.shader~");
    EXPECT_GE(poll(), 5);
    EXPECT_EQ(names,
              (std::set<std::string>{".gras20.shader.swp", "gras20.shader", "gras20.shader~"}));
    file_watch_stop();
    fs::remove_all(folder);

    RebuildDebounce debounce;
    uint32_t now = 0xFFFFFFF0u; // the timer wraps meanwhile
    for (const std::string &name : names) rebuild_debounce_note(debounce, name.c_str(), now += 3);
    int rebuilds = 0;
    for (uint32_t step = 0; step < 200; ++step)
        rebuilds += rebuild_debounce_due(debounce, now + step);
    EXPECT_EQ(rebuilds, 1);
    for (const char *name : {".gras20.shader.swp", "gras20.shader~", "4913", "x.shader"})
        rebuild_debounce_note(debounce, name, now);
    EXPECT_FALSE(rebuild_debounce_due(debounce, now + 1000)) << "only the shaders' names count";
    // A change every 20 ms ("": the watch lost count) still rebuilds after RebuildLatestMs.
    for (uint32_t t = 0; t < RebuildLatestMs; t += 20) rebuild_debounce_note(debounce, "", now + t);
    EXPECT_TRUE(rebuild_debounce_due(debounce, now + RebuildLatestMs));
}
