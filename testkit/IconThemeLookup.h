#pragma once
// Where an icon theme keeps the files of one named icon: the freedesktop lookup as the toolkit
// does it, for one name, so that it can run away from the window's thread.
//
// A theme is the folder of its name under each search path that has one; its index.theme (the
// first one found) lists its folders with their nominal sizes and the themes it inherits. The
// icon is searched in the theme, then in the themes it inherits in order (the fallback theme when
// it names none), then in hicolor; the first theme holding it gives all of its files. Each folder
// offers NAME.png, else NAME.svg (when scalable images can be drawn), else NAME.xpm. Not in any
// theme: NAME with one of those endings straight in a fallback folder.
#include <filesystem>
#include <string>
#include <vector>

namespace RorozErurEvo::IconThemeLookup {

struct IconFile {
    std::filesystem::path path;
    int size = 0;           // the folder's nominal size in pixels; 0 for a file from a fallback folder
    bool scalable = false;  // an SVG
};

struct Search {
    std::string name;                                // the icon's name, without an ending
    std::string theme;                               // the theme in use
    std::string fallbackTheme;                       // inherited by a theme that names none
    std::vector<std::filesystem::path> themeFolders; // where themes live, in order
    std::vector<std::filesystem::path> fallbackFolders;
    bool svg = true;                                 // SVG files can be drawn
};

// The files in the order the toolkit lists them; none when the icon is nowhere.
std::vector<IconFile> find(const Search& search);

// The folders an index.theme lists, with their nominal sizes, and the themes it inherits.
struct Index {
    struct Folder {
        std::string path;
        int size = 0;
    };
    std::vector<Folder> folders;
    std::vector<std::string> inherits;
};
Index parseIndex(const std::string& text);

} // namespace RorozErurEvo::IconThemeLookup
