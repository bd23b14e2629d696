#include "shell/FileWatcher.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/TestPaths.h"

namespace {

using Paths = std::vector<std::string>;

TEST(FileWatcher, ReportsRewrittenFilesOnceTheyHaveSettled) {
    std::string dir = makeScratchDir("filewatcher");
    std::string shader = dir + "/frag.glsl", bitmap = dir + "/tiles.bmp", other = dir + "/notes.txt";
    for (const std::string& path : {shader, bitmap, other})
        ASSERT_TRUE(writeFile(path, "old"));
    FileWatcher watcher(0.5);
    ASSERT_TRUE(watcher.ok());
    ASSERT_TRUE(watcher.watch(shader));
    ASSERT_TRUE(watcher.watch(bitmap));
    EXPECT_FALSE(watcher.watch(dir + "/no-such-folder/x.glsl"));
    EXPECT_EQ(watcher.poll(0.0), Paths{});

    // An editor's save: a new file renamed over the old one. A file nobody
    // watches changes beside it.
    ASSERT_TRUE(writeFile(dir + "/.frag.glsl.swp", "new"));
    ASSERT_EQ(std::rename((dir + "/.frag.glsl.swp").c_str(), shader.c_str()), 0);
    ASSERT_TRUE(writeFile(other, "new"));
    EXPECT_EQ(watcher.poll(10.0), Paths{}) << "reported before the quiet time";
    EXPECT_EQ(watcher.poll(10.4), Paths{});
    EXPECT_EQ(watcher.poll(10.5), Paths{shader});
    EXPECT_EQ(watcher.poll(20.0), Paths{}) << "reported twice";

    // Writes in place, in bursts: each file once, after the last write has settled.
    ASSERT_TRUE(writeFile(bitmap, "a"));
    EXPECT_EQ(watcher.poll(30.0), Paths{});
    ASSERT_TRUE(writeFile(shader, "b"));
    ASSERT_TRUE(writeFile(bitmap, "c"));
    EXPECT_EQ(watcher.poll(30.3), Paths{});
    EXPECT_EQ(watcher.poll(30.6), Paths{});
    EXPECT_EQ(watcher.poll(30.8), (Paths{bitmap, shader}));

    // The same file named another way is reported under both names.
    ASSERT_TRUE(watcher.watch(dir + "/./frag.glsl"));
    ASSERT_TRUE(writeFile(shader, "d"));
    EXPECT_EQ(watcher.poll(40.0), Paths{});
    EXPECT_EQ(watcher.poll(41.0), (Paths{shader, dir + "/./frag.glsl"}));
}

// The build's data directory reaches the shaders through a link to the checkout's
// folder: a save in the checkout, the editor's way, is seen under the linked name.
TEST(FileWatcher, SeesSavesThroughALinkedFolder) {
    std::string dir = makeScratchDir("filewatcher-link");
    ASSERT_EQ(mkdir((dir + "/source").c_str(), 0755), 0);
    ASSERT_EQ(symlink((dir + "/source").c_str(), (dir + "/shaders").c_str()), 0);
    ASSERT_TRUE(writeFile(dir + "/source/frag.glsl", "old"));
    FileWatcher watcher(0.1);
    ASSERT_TRUE(watcher.watch(dir + "/shaders/frag.glsl"));
    ASSERT_TRUE(writeFile(dir + "/source/.frag.glsl.swp", "new"));
    ASSERT_EQ(std::rename((dir + "/source/.frag.glsl.swp").c_str(), (dir + "/source/frag.glsl").c_str()), 0);
    EXPECT_EQ(watcher.poll(0.0), Paths{});
    EXPECT_EQ(watcher.poll(1.0), Paths{dir + "/shaders/frag.glsl"});
}

} // namespace
