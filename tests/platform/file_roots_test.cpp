// Where the game's files are found: the working directory's asset tree, else the installed folder and the
// player's XDG folders, and what happens when those cannot be used.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/asset_paths.h"
#include "base/failure.h"
#include "game/game_vars.h"
#include "game/record.h"
#include "platform/file.h"
#include "platform/file_failure.h"
#include "platform/file_roots.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"

// Only the Linux game looks outside its working directory; the Windows and browser games never do.
#if !defined(_WIN32)
namespace fs = std::filesystem;

namespace {
std::vector<std::string> sayings;
void KeepSaying(const char* line) {
    sayings.push_back(line);
}

class FileRootsTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        ClearFailure();
        sayings.clear();
        home = (dir.path / "home").string();
        installed = (dir.path / "usr/share/games/quillmarsh").string();
        work = (dir.path / "work").string();
        fs::create_directories(home);
        fs::create_directories(work);
        MakeTree(installed);
        fs::current_path(work);
    }
    void TearDown() override {
        fileRoots = FileRoots{};
        SetSayFailureSink(nullptr);
        ClearFailure();
        ResetGameProcess();
    }
    static void MakeTree(const std::string& folder) {
        for (const char* sub : {"bmp", "wave", "data"})
            fs::create_directories(fs::path(folder) / sub);
    }
    static void Write(const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    FileRootsQuery Query(const char* config = nullptr, const char* data = nullptr) const {
        FileRootsQuery query;
        query.workingFolder = work;
        query.installedFolder = installed;
        query.home = home.c_str();
        query.xdgConfigHome = config;
        query.xdgDataHome = data;
        return query;
    }
    bool Choose(const FileRootsQuery& query) {
        std::string why;
        const bool chosen = ChooseFileRoots(query, &fileRoots, &why);
        EXPECT_EQ(why.empty(), chosen) << why;
        return chosen;
    }
    ScopedWorkDir dir;
    std::string home, installed, work;
};
} // namespace

TEST_F(FileRootsTest, AnAssetTreeInTheWorkingDirectoryWinsAndChangesNoPath) {
    MakeTree(work);
    ASSERT_TRUE(Choose(Query("/elsewhere/config", "/elsewhere/data")));
    EXPECT_EQ(fileRoots.assets, "");
    EXPECT_EQ(fileRoots.userData, "");
    EXPECT_EQ(fileRoots.installedFolder, "");
    EXPECT_EQ(PlatformNativePath(ASSET_PARTS), "bmp/アクセサリ.bmp");
    EXPECT_EQ(PlatformNativePath(ASSET_RECORD), "user_data/Record.dat");
    EXPECT_EQ(PlatformNativePath(ASSET_SETTINGS), "Setting.ini");
    EXPECT_EQ(PlatformNativePath("screenshots\\quillmarsh-0001.png"), "screenshots/quillmarsh-0001.png");

    // Two of the three folders are not a tree: the installed one is used.
    fs::remove(fs::path(work) / "wave");
    ASSERT_TRUE(Choose(Query()));
    EXPECT_EQ(fileRoots.assets, installed);
}

TEST_F(FileRootsTest, InstalledGameReadsItsTreeThereAndKeepsThePlayersFilesInTheXdgFolders) {
    ASSERT_TRUE(Choose(Query((dir.path / "cfg").c_str(), (dir.path / "dat/").c_str())));
    EXPECT_EQ(PlatformNativePath(ASSET_PARTS), installed + "/bmp/アクセサリ.bmp");
    EXPECT_EQ(PlatformNativePath(ASSET_WAVE_OPEN), installed + "/wave/開く.wav");
    EXPECT_EQ(PlatformNativePath(ASSET_STAGES[4]), installed + "/data/ステージ５.bgd");
    EXPECT_EQ(PlatformNativePath(ASSET_SETTINGS), (dir.path / "cfg/quillmarsh/Setting.ini").string());
    EXPECT_EQ(PlatformNativePath(ASSET_RECORD), (dir.path / "dat/quillmarsh/user_data/Record.dat").string());
    EXPECT_EQ(PlatformNativePath("screenshots"), home + "/Pictures/Quillmarsh");
    EXPECT_EQ(PlatformNativePath("screenshots\\quillmarsh-0002.png"),
              home + "/Pictures/Quillmarsh/quillmarsh-0002.png");
    // Paths that are not the game's own stay where they are.
    EXPECT_EQ(PlatformNativePath("session.txt"), "session.txt");
    EXPECT_EQ(PlatformNativePath("/tmp/a.png"), "/tmp/a.png");
    EXPECT_EQ(PlatformNativePath("Setting.ini\\x"), "Setting.ini/x");

    // The record is made in the data home, folders and all, and read back from there; the working
    // directory gets nothing.
    bestRecord = 0;
    stage = 8;
    ASSERT_TRUE(SaveRecord(ASSET_RECORD));
    EXPECT_TRUE(fs::is_regular_file(dir.path / "dat/quillmarsh/user_data/Record.dat"));
    bestRecord = 0;
    ASSERT_TRUE(LoadRecord(ASSET_RECORD));
    EXPECT_EQ(bestRecord, 7);
    EXPECT_TRUE(fs::is_empty(work));
}

TEST_F(FileRootsTest, UnsetEmptyOrRelativeXdgVariablesMeanTheHomeDefaults) {
    for (const char* value : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        ASSERT_TRUE(Choose(Query(value, value)));
        EXPECT_EQ(fileRoots.settings, home + "/.config/quillmarsh") << (value ? value : "unset");
        EXPECT_EQ(fileRoots.userData, home + "/.local/share/quillmarsh") << (value ? value : "unset");
        EXPECT_EQ(fileRoots.screenshots, home + "/Pictures/Quillmarsh");
    }
    ASSERT_TRUE(Choose(Query("/c", "/d")));
    EXPECT_EQ(fileRoots.settings, "/c/quillmarsh");
    EXPECT_EQ(fileRoots.userData, "/d/quillmarsh");
}

TEST_F(FileRootsTest, ThePicturesFolderComesFromUserDirsInTheConfigHome) {
    const std::string text = "# XDG_PICTURES_DIR=\"$HOME/Commented\"\n"
                             "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                             "  XDG_PICTURES_DIR=\"$HOME/Bilder/\"\r\n";
    EXPECT_EQ(PicturesFolderFromUserDirs(text, "/home/ana"), "/home/ana/Bilder");
    EXPECT_EQ(PicturesFolderFromUserDirs("XDG_PICTURES_DIR=\"/srv/shots\"\n", "/home/ana"), "/srv/shots");
    EXPECT_EQ(PicturesFolderFromUserDirs("XDG_PICTURES_DIR=\"$HOMEBOY/x\"\n", "/home/ana"), "");
    EXPECT_EQ(PicturesFolderFromUserDirs("XDG_PICTURES_DIR=\"relative\"\n", "/home/ana"), "");
    EXPECT_EQ(PicturesFolderFromUserDirs("XDG_PICTURES_DIR=$HOME/unquoted\n", "/home/ana"), "");
    EXPECT_EQ(PicturesFolderFromUserDirs("", "/home/ana"), "");

    // Read from $XDG_CONFIG_HOME/user-dirs.dirs, or ~/.config/user-dirs.dirs when that is unset.
    Write(home + "/.config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n");
    Write((dir.path / "cfg/user-dirs.dirs").string(), "XDG_PICTURES_DIR=\"/pics\"\n");
    ASSERT_TRUE(Choose(Query()));
    EXPECT_EQ(fileRoots.screenshots, home + "/Fotos/Quillmarsh");
    ASSERT_TRUE(Choose(Query((dir.path / "cfg").c_str())));
    EXPECT_EQ(fileRoots.screenshots, "/pics/Quillmarsh");
}

TEST_F(FileRootsTest, WithNoTreeAnywhereTheMissingFileNamesBothFolders) {
    fs::remove_all(installed);
    ASSERT_TRUE(Choose(Query()));
    EXPECT_EQ(fileRoots.assets, "");
    EXPECT_EQ(PlatformNativePath(ASSET_TEXT), "bmp/文字.bmp");
    NoteFileFailure("the picture", ASSET_TEXT);
    EXPECT_STREQ(NotedFailure(),
                 ("cannot read the picture bmp/文字.bmp: the file is missing (the game looks for "
                  "it in the folder it was started from, " +
                  fs::current_path().string() + ", and in the installed game's folder, " + installed + ")")
                     .c_str());

    // The installed tree without the file: the same line, read from the installed folder.
    ClearFailure();
    MakeTree(installed);
    ASSERT_TRUE(Choose(Query()));
    NoteFileFailure("the picture", ASSET_TEXT);
    EXPECT_NE(std::string(NotedFailure()).find("the file is missing"), std::string::npos) << NotedFailure();
    EXPECT_NE(std::string(NotedFailure()).find(installed), std::string::npos) << NotedFailure();
}

TEST_F(FileRootsTest, AnInstalledGameWithoutAHomeSaysSo) {
    FileRootsQuery query = Query();
    for (const char* value : {static_cast<const char*>(nullptr), "", "not/absolute"}) {
        query.home = value;
        std::string why;
        EXPECT_FALSE(ChooseFileRoots(query, &fileRoots, &why));
        EXPECT_NE(why.find("no home folder"), std::string::npos) << why;
        EXPECT_EQ(fileRoots.userData, "");
    }
    // A build folder run as it always was needs no home.
    MakeTree(work);
    EXPECT_TRUE(Choose(query));
}

TEST_F(FileRootsTest, AnUnwritableDataHomeGivesTheFailureLineAndKeepsTheOldRecord) {
    // A file where the data home's folder should be: no permission bits can be bypassed (CI runs as root).
    Write((dir.path / "blocked").string(), "not a folder");
    ASSERT_TRUE(Choose(Query(nullptr, (dir.path / "blocked").c_str())));
    SetSayFailureSink(KeepSaying);
    bestRecord = 2;
    stage = 9;
    EXPECT_FALSE(SaveRecord(ASSET_RECORD));
    ASSERT_EQ(sayings.size(), 1u);
    EXPECT_NE(sayings[0].find("cannot save the record user_data/Record.dat: cannot make the folder " +
                              (dir.path / "blocked/quillmarsh/user_data").string()),
              std::string::npos)
        << sayings[0];
    EXPECT_EQ(bestRecord, 2);
    EXPECT_EQ(NotedFailure(), nullptr);
    EXPECT_TRUE(fs::is_empty(work));
}
#endif
