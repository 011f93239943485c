// The user's own folders, where screenshots and recordings go. One
// implementation per host: platform/linux/folders.cpp follows the XDG user
// directories. The page keeps no files.
#pragma once

#include <cstddef>

// The user's folder of a kind, written into folder (size bytes). On Linux:
// the variable NAME (XDG_PICTURES_DIR, XDG_VIDEOS_DIR), else NAME's line in
// ~/.config/user-dirs.dirs with $HOME expanded, else ~/CONVENTIONAL
// ("Pictures", "Videos"), each when it is a folder, else the current folder.
void SDLDPYUserDir(const char* name, const char* conventional, char* folder, std::size_t size);
// The folder a screenshot goes to.
void SDLDPYPicturesDir(char* folder, std::size_t size);
