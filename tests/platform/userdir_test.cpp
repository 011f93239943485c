// The user's pictures and videos folders as the XDG user directories give
// them: the variable, else its line in ~/.config/user-dirs.dirs with $HOME
// expanded, else the conventional folder, each only when it is a folder, else
// the current folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/folders.h"

TEST(UserDir, VariableThenUserDirsLineThenConventionalThenCurrent) {
    char name[] = "/tmp/velm-userdir-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    const std::string home = name;
    for (const char* sub : {"/.config", "/env", "/listed", "/abs", "/Videos", "/Pictures"}) {
        ASSERT_EQ(mkdir((home + sub).c_str(), 0700), 0) << sub;
    }
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    struct Case {
        const char* variable;       // XDG_VIDEOS_DIR, null: unset
        const char* line;           // the user-dirs.dirs line, null: no file
        bool conventional;          // ~/Videos exists
        std::string want;
    };
    const Case cases[] = {
        {"/env", "XDG_VIDEOS_DIR=\"$HOME/listed\"", true, home + "/env"},
        {"/missing", "XDG_VIDEOS_DIR=\"$HOME/listed\"", true, home + "/listed"},
        {nullptr, "# comment\nXDG_PICTURES_DIR=\"$HOME/abs\"\n  XDG_VIDEOS_DIR=\"$HOME/listed\"", true, home + "/listed"},
        {nullptr, "XDG_VIDEOS_DIR=\"ABS\"", true, home + "/abs"},       // an absolute path
        {nullptr, "XDG_VIDEOS_DIR=\"$HOME/missing\"", true, home + "/Videos"},
        {nullptr, "XDG_VIDEOS_DIR=$HOME/listed", true, home + "/Videos"},   // unquoted: not the format
        {nullptr, "XDG_VIDEOS_DIRS=\"$HOME/listed\"", true, home + "/Videos"},
        {nullptr, nullptr, true, home + "/Videos"},
        {nullptr, nullptr, false, cwd},
        {nullptr, "XDG_VIDEOS_DIR=\"$HOME/\"", false, home + "/"},
    };
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", home.c_str(), 1);
    for (const Case& c : cases) {
        if (c.variable != nullptr) {
            setenv("XDG_VIDEOS_DIR", (home + c.variable).c_str(), 1);
        } else {
            unsetenv("XDG_VIDEOS_DIR");
        }
        const std::string dirs = home + "/.config/user-dirs.dirs";
        std::remove(dirs.c_str());
        if (c.line != nullptr) {
            std::string line = c.line;
            const std::size_t abs = line.find("ABS");
            if (abs != std::string::npos) line.replace(abs, 3, home + "/abs");
            std::ofstream(dirs) << line << "\n";
        }
        if (c.conventional) {
            mkdir((home + "/Videos").c_str(), 0700);
        } else {
            rmdir((home + "/Videos").c_str());
        }
        char folder[4096] = "";
        SDLDPYUserDir("XDG_VIDEOS_DIR", "Videos", folder, sizeof folder);
        EXPECT_EQ(folder, c.want) << (c.variable ? c.variable : "-") << " | " << (c.line ? c.line : "-");
    }
    // The pictures folder follows the same rules with its own line.
    unsetenv("XDG_PICTURES_DIR");
    std::ofstream(home + "/.config/user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/abs\"\n";
    char folder[4096] = "";
    SDLDPYPicturesDir(folder, sizeof folder);
    EXPECT_EQ(folder, home + "/abs");
    unsetenv("XDG_VIDEOS_DIR");
    EXPECT_EQ(std::system(("rm -rf '" + home + "'").c_str()), 0);
}
