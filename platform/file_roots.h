// Where the game's files live: its working directory, or an installed game's folders and the player's home.
#pragma once
#include <string>

// The folders the game's own relative paths are read from and written to. An empty folder is the working
// directory: every build run from its own asset tree works so, and the runner and the tests never change it.
struct FileRoots {
    std::string assets;      // holds bmp/, wave/ and data/
    std::string settings;    // holds Setting.ini
    std::string userData;    // holds user_data/
    std::string screenshots; // the screenshots themselves, in place of the working directory's screenshots/
    // The installed game's folder when it was looked in, for the line that says a file is missing.
    std::string installedFolder;
};
extern FileRoots fileRoots;

// What the choice is made from: the working directory, the installed asset tree's folder as found from the
// executable (empty when unknown) and the environment (a null pointer for an unset variable).
struct FileRootsQuery {
    std::string workingFolder;
    std::string installedFolder;
    const char* home = nullptr;
    const char* xdgConfigHome = nullptr;
    const char* xdgDataHome = nullptr;
};

// True when folder holds bmp/, wave/ and data/ as folders (their files are checked as the game loads them).
bool HoldsAssetTree(const std::string& folder);

// The rules. A working directory holding the asset tree is used for everything, as always. Otherwise, when
// the installed folder holds the tree, the game reads it there, reads Setting.ini from
// $XDG_CONFIG_HOME/quillmarsh, keeps user_data/ in $XDG_DATA_HOME/quillmarsh and saves screenshots in the
// pictures folder's Quillmarsh/; unset, empty or relative XDG variables count as unset (~/.config,
// ~/.local/share). When neither holds the tree the working directory is used and the missing file's line
// names both. False, with why, only when the installed game has no home folder to write in.
bool ChooseFileRoots(const FileRootsQuery& query, FileRoots* roots, std::string* why);

// The pictures folder named by the XDG_PICTURES_DIR line of a user-dirs.dirs file ("$HOME/..." or an
// absolute path), or empty when the text names none.
std::string PicturesFolderFromUserDirs(const std::string& text, const std::string& home);

// The game's path (its '\' separators read as '/') in the folder fileRoots gives it; unchanged when that
// folder is the working directory or the path is not one of the game's own.
std::string RootedGamePath(const std::string& path);

// Chooses fileRoots for the desktop game from this process: its working directory, the installed asset tree
// at dataFromExecutable (relative to the executable's folder) and the environment. False, with why, as
// ChooseFileRoots; where the executable cannot be found the working directory is used.
bool PlatformChooseFileRoots(const char* dataFromExecutable, std::string* why);
