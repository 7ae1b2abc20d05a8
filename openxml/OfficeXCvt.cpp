#include "openxml/OfficeXCvt.h"

#include <sys/stat.h>

#include <exception>
#include <string>

#include "core/NativePath.h"
#include "openxml/KelUnZip.h"
#include "openxml/KelXMLParser.h"
#include "openxml/OfficeXSlideText.h"

namespace dkscr {
namespace {

// The name of slide part N inside the package, with the reader's backslash separators.
std::string SlidePartName(int number) {
  return "ppt\\slides\\slide" + std::to_string(number) + ".xml";
}

// Everything one conversion works with: created for the call and gone after it, so that
// nothing of one package lingers into the next.
class TPptxConversion {
 public:
  explicit TPptxConversion(const ZipHostHooks& hooks) {
    FView.PrimaryDocument = &FDocument;
    FReader.Hooks = hooks;
  }
  ~TPptxConversion() { FView.PrimaryDocument = nullptr; }
  TPptxConversion(const TPptxConversion&) = delete;
  TPptxConversion& operator=(const TPptxConversion&) = delete;

  ResultCode Run(const std::u16string& source, OutputBuffer& output, int32_t codePage,
                 int lineBreak) {
    struct stat info {};
    if (stat(PathToNative(source).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      return kResultSourceMissing;
    }
    FReader.SetZipName(source);
    return RunOnReader(output, codePage, lineBreak);
  }

  ResultCode RunOnImage(std::string_view image, OutputBuffer& output, int32_t codePage, int lineBreak) {
    FReader.SetZipImage(image);
    return RunOnReader(output, codePage, lineBreak);
  }

 private:
  // The conversion once the reader knows its archive.
  ResultCode RunOnReader(OutputBuffer& output, int32_t codePage, int lineBreak) {
    try {
      FReader.LoadDirectory();
    } catch (...) {
      return kResultSourceOpenError;
    }
    const int entryCount = FReader.EntryCount();
    if (entryCount == 0) return kResultFormatError;

    std::string text;
    bool noSlideFound = true;
    {
      std::string stream;
      for (int number = 0; number < entryCount; ++number) {
        FView.Clear();
        stream.clear();
        if (FReader.ExtractToStream(stream, SlidePartName(number)) == 0) continue;
        noSlideFound = false;
        if (stream.empty()) continue;
        FView.LoadFromStream(stream, 0);
        text += "slide" + std::to_string(number) + ":\r\n";
        AppendSlideText(FDocument.Root(), text);
      }
    }
    if (noSlideFound) return kResultFormatError;

    // 1 asks for CR line breaks and 2 for LF; anything else gives CR LF.
    const int style = lineBreak == 1 ? kLineBreakCr : lineBreak == 2 ? kLineBreakLf : kLineBreakCrLf;
    return EncodeUtf8Text(text, style, codePage, output);
  }

  TKelUnZip FReader;
  TKelXMLParser FDocument;
  TXMLView FView;
};

}  // namespace

ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage) {
  return ConvertPptx(source, output, codePage, ZipHostHooks{});
}

ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage,
                       const ZipHostHooks& hooks) {
  try {
    TPptxConversion conversion(hooks);
    return conversion.Run(source, output, codePage, 0);
  } catch (...) {
    // A damaged entry, memory running out: whatever stops the extraction is a format error.
    return kResultFormatError;
  }
}

ResultCode ConvertPptxImage(std::string_view image, OutputBuffer& output, int32_t codePage) {
  try {
    TPptxConversion conversion{ZipHostHooks{}};
    return conversion.RunOnImage(image, output, codePage, 0);
  } catch (...) {
    return kResultFormatError;
  }
}

}  // namespace dkscr
