// The program's icon files, all painted by PaintAppIcon: a Windows icon with every size,
// PNGs in the freedesktop icon theme layout, and the data set's window icon.
#pragma once

#include <string>
#include <vector>

// The sizes drawn, smallest first: 16 24 32 48 64 128 256.
const std::vector<int>& IconSizes();

// The data set's window icon: 64 × 64 RGBA with straight alpha (not the inverted alpha
// of the textures), beside the data set's files but not one of them.
inline constexpr const char* kWindowIconName = "icon.png";
inline constexpr int kWindowIconSize = 64;

// Paths below an icon folder: the Windows icon, and the theme PNG of one size.
std::string IcoFileName();                    // "zircon-megademo.ico"
std::string ThemeIconPath(int size);          // "hicolor/<size>x<size>/apps/zircon-megademo.png"

// Writes the window icon to path; false when it cannot be written.
bool WriteWindowIcon(const std::string& path);

// Writes the Windows icon and the theme PNGs into dir, making the folders they need.
// Returns false and fills *error on the first file that cannot be made.
bool WriteIcons(const std::string& dir, std::string* error);
