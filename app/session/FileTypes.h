#pragma once
// The two file types the desktop program converts. The row number (1 or 2) is the file-type
// number used everywhere in the program; each type takes its whole family of extensions, as
// the console programs do.
#include <array>
#include <string>
#include <string_view>

namespace dkscr {

struct FileType {
  std::u16string_view TypeTag;      // shown in the type column, chooses the converter
  std::u16string_view Description;  // labels the type in the file dialogs and option lists
  std::u16string_view DefaultMask;  // the type's own mask; users may add more
};

inline constexpr int kFileTypeCount = 2;
inline constexpr int kFileTypePpt = 1;
inline constexpr int kFileTypePptx = 2;

inline constexpr std::array<FileType, kFileTypeCount> kFileTypes = {{
    {u"PPT", u"PowerPoint 95, 97-2007 File", u"*.ppt"},
    {u"PPTX", u"PowerPoint Open XML File", u"*.pptx"},
}};

// Row of a file-type number (1-based); the caller passes 1 or 2.
inline const FileType& FileTypeRow(int typeNumber) {
  return kFileTypes.at(static_cast<size_t>(typeNumber - 1));
}

// The masks of a type's family, "*.ppt;*.pps;*.pot" and "*.pptx;*.pptm;...": the type's
// DefaultMask first.
std::u16string FamilyMasks(int typeNumber);

// The type (1 or 2) whose family holds the extension (with its dot, any letter case); 0 when
// none does.
int FamilyTypeOfExtension(std::u16string_view extension);

// Lower-cases the ASCII letters A to Z only; every other code unit stays as it is.
std::u16string LowerAscii(std::u16string_view text);

}  // namespace dkscr
