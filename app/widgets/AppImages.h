#pragma once
// Pictures of the main window, drawn at start so that the program needs no image files:
// the three state icons of the list, the eight menu and button pictures, and the program icon.
#include <QIcon>
#include <array>
#include <cstddef>

namespace dkscr {

// 0 a text page (new), 1 the page with a green check (converted), 2 with a red cross (failed),
// 3 an empty page with an exclamation mark (converted, no text found), 4 a page with an arrow
// going round it (skipped: the target existed).
inline constexpr size_t kStateIconCount = 5;
std::array<QIcon, kStateIconCount> MakeStateIcons();

// ImageMenu: 0 options, 1 help contents, 2 paste, 3 convert, 4 stop, 5 add file, 6 add folder,
// 7 log.
std::array<QIcon, 8> MakeMenuImages();

// The program's own icon (a slide turning into lines of text).
QIcon MakeProgramIcon();

}  // namespace dkscr
