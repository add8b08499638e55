#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "files/file_stand_ins.h"
#include "files/picture_files.h"
#include "platform/qt_platform.h"

namespace qel {
namespace {

using testing::TemporaryFolder;

// Sets an environment variable for the life of the object.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~EnvironmentVariable() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The desktop's folders as the save dialog gets them from Qt: the picture
// folder the user's desktop names (here in German), made on the way, where
// the program's folder cannot take a file; whether a folder can take one is
// the system's permission check, so root may write where others may not.
TEST(QtSaveFolder, AProgramFolderThatTakesNoFileOffersTheDesktopsPictureFolderMadeOnTheWay) {
    TemporaryFolder dir;
    const EnvironmentVariable home("HOME", dir.file("home"));
    const EnvironmentVariable config("XDG_CONFIG_HOME", dir.file("config"));
    std::filesystem::create_directories(dir.file("config"));
    std::ofstream(dir.file("config/user-dirs.dirs")) << "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    std::ofstream(dir.file("file")) << "x";
    std::filesystem::create_directories(dir.file("locked"));
    ASSERT_EQ(::chmod(dir.file("locked").c_str(), 0555), 0);

    QtPlatform platform;
    EXPECT_EQ(platform.homeFolder(), dir.file("home"));
    EXPECT_EQ(platform.picturesFolder(), dir.file("home/Bilder"));
    EXPECT_TRUE(platform.folderWritable(dir.folder()));
    EXPECT_FALSE(platform.folderWritable(dir.file("file")));
    EXPECT_FALSE(platform.folderWritable(dir.file("missing")));
    EXPECT_EQ(platform.folderWritable(dir.file("locked")), ::geteuid() == 0);

    EXPECT_EQ(saveFolder(platform, dir.folder()), dir.folder());
    EXPECT_FALSE(std::filesystem::exists(dir.file("home")));
    EXPECT_EQ(saveFolder(platform, dir.file("missing") + "/"), dir.file("home/Bilder") + "/");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("home/Bilder")));
    EXPECT_FALSE(platform.makeFolder(dir.file("file/Pictures")));
}

}  // namespace
}  // namespace qel
