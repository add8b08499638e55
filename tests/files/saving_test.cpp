// Saving a picture never destroys what is not a picture, never writes
// through a planted link, keeps an overwritten file's mode, takes every
// legal name and leaves nothing behind when it is killed.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "file_stand_ins.h"
#include "files/bitmap.h"
#include "files/safe_file.h"

namespace qel {
namespace {

namespace fs = std::filesystem;
using testing::contentOf;
using testing::holdsPicture;
using testing::pattern;
using testing::TemporaryFolder;

struct Saving : ::testing::Test {
    TemporaryFolder dir;
};

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode;
}

TEST_F(Saving, ReplacesAFileKeepingItsModeAndTakesTheLongestLegalName) {
    const Surface picture = pattern(30, 20, 1);
    const std::string kept = dir.file("kept.bmp");
    std::ofstream(kept) << "an older picture";
    ::chmod(kept.c_str(), 0604);
    ASSERT_TRUE(writeBitmapFile(kept, picture));
    EXPECT_TRUE(holdsPicture(kept, picture));
    EXPECT_EQ(modeOf(kept) & 07777, 0604u);

    const std::string longest = dir.file(std::string(251, 'a') + ".bmp");  // 255 bytes
    EXPECT_TRUE(writeBitmapFile(longest, picture));
    EXPECT_TRUE(holdsPicture(longest, picture));
    EXPECT_EQ(dir.entries(), 2);
}

TEST_F(Saving, WritesThroughALinkToTheFileItNames) {
    const Surface picture = pattern(30, 20, 2);
    fs::create_directory(dir.file("pictures"));
    std::ofstream(dir.file("pictures/real.bmp")) << "an older picture";
    fs::create_symlink("pictures/real.bmp", dir.file("link.bmp"));
    fs::create_symlink("pictures/new.bmp", dir.file("dangling.bmp"));
    for (const char* name : {"link.bmp", "dangling.bmp"}) {
        ASSERT_TRUE(writeBitmapFile(dir.file(name), picture)) << name;
        EXPECT_TRUE(fs::is_symlink(dir.file(name))) << name;
    }
    EXPECT_TRUE(holdsPicture(dir.file("pictures/real.bmp"), picture));
    EXPECT_TRUE(holdsPicture(dir.file("pictures/new.bmp"), picture));
    EXPECT_EQ(dir.entries(), 3);
}

TEST_F(Saving, RefusesFoldersAndSpecialFilesAndSaysWhy) {
    const std::string fifo = dir.file("fifo.bmp"), folder = dir.file("folder.bmp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_directory(folder);
    fs::create_symlink("fifo.bmp", dir.file("link to fifo.bmp"));
    for (const std::string& path : {fifo, folder, dir.file("link to fifo.bmp")}) {
        std::string why;
        EXPECT_FALSE(writeBitmapFile(path, pattern(30, 20), &why)) << path;
        EXPECT_FALSE(why.empty()) << path;
    }
    EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(dir.entries(), 3);
}

// The child is killed by the file size limit in the middle of writing.
TEST_F(Saving, ASaveKilledMidWriteLeavesTheFolderAsItWas) {
    const std::string target = dir.file("t.bmp");
    std::ofstream(target) << "an older picture";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit size{4096, 4096}, noCore{0, 0};
        ::setrlimit(RLIMIT_FSIZE, &size);
        ::setrlimit(RLIMIT_CORE, &noCore);
        writeBitmapFile(target, pattern(200, 100));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(contentOf(target), "an older picture");
    EXPECT_EQ(dir.entries(), 1);
}

TEST_F(Saving, SafeFileStreamsInChunksAndAnUncommittedWriteChangesNothing) {
    const std::string target = dir.file("t.bmp");
    std::ofstream(target) << "old";
    {
        SafeFile dropped(target);
        ASSERT_TRUE(dropped.isOpen());
        ASSERT_TRUE(dropped.write("new", 3));
    }
    SafeFile aborted(target);
    ASSERT_TRUE(aborted.write("new", 3));
    aborted.abort();
    EXPECT_FALSE(aborted.commit());
    EXPECT_EQ(contentOf(target), "old");
    EXPECT_EQ(dir.entries(), 1);

    SafeFile streamed(target);
    for (const char* chunk : {"new ", "in ", "chunks"}) ASSERT_TRUE(streamed.write(chunk, std::strlen(chunk)));
    ASSERT_TRUE(streamed.commit()) << streamed.why();
    EXPECT_EQ(contentOf(target), "new in chunks");
    EXPECT_EQ(dir.entries(), 1);
}

}  // namespace
}  // namespace qel
