#include "openxml/OfficeXCvt.h"

#include <algorithm>
#include <exception>
#include <new>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ByteSource.h"
#include "core/DocFile.h"
#include "core/NativePath.h"
#include "core/RegularFile.h"
#include "core/TextEncoder.h"
#include "openxml/KelUnZip.h"
#include "openxml/KelXMLParser.h"
#include "openxml/OfficeXSlideText.h"
#include "openxml/PptxBudget.h"
#include "openxml/ZipNames.h"

namespace dkscr {
namespace {

// A stream grown past this by one large slide is given back rather than kept for the next.
constexpr size_t kKeptStreamCapacity = size_t{1} << 20;

// A slide part: its number and its index in the entry list.
struct SlideEntry {
  uint64_t number;
  size_t index;
};

// The number N of a match key "ppt\slides\slideN.xml", N written as decimal without leading
// zeros (the names the converter asks for), or -1 for any other key.
int64_t SlidePartNumber(std::string_view key) {
  constexpr std::string_view kPrefix = "ppt\\slides\\slide";
  constexpr std::string_view kSuffix = ".xml";
  if (!key.starts_with(kPrefix) || !key.ends_with(kSuffix)) return -1;
  const std::string_view digits = key.substr(kPrefix.size(), key.size() - kPrefix.size() - kSuffix.size());
  if (digits.empty() || digits.size() > 18 || (digits[0] == '0' && digits.size() > 1)) return -1;
  int64_t number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

// The slide parts numbered 0 to entryCount - 1, in number order and, for one number, in list
// order: what asking for every number by name finds, without asking for the absent ones.
std::vector<SlideEntry> SlideEntries(const TZipEntryList& entries, uint64_t entryCount) {
  std::vector<SlideEntry> slides;
  for (size_t i = 0; i < entries.Count(); ++i) {
    const TZipEntryInfo& e = entries[i];
    if (e.FileName.empty()) continue;
    const int64_t number = SlidePartNumber(NameMatchKey(e.StoredPath()));
    if (number >= 0 && static_cast<uint64_t>(number) < entryCount) {
      slides.push_back({static_cast<uint64_t>(number), i});
    }
  }
  std::stable_sort(slides.begin(), slides.end(),
                   [](const SlideEntry& a, const SlideEntry& b) { return a.number < b.number; });
  return slides;
}

// A password-protected Open XML package is a compound document with this stream.
bool IsEncryptedPackage(std::unique_ptr<ByteSource> source) {
  if (!source) return false;
  std::string error;
  const std::unique_ptr<TDocFileStorage> storage = OpenDocSource(std::move(source), error);
  return storage && HoldsEncryptedPackage(*storage);
}

}  // namespace

bool IsEncryptedPackageFile(const std::u16string& source) {
  int error = 0;
  return IsEncryptedPackage(ByteSource::OpenFile(PathToNative(source), error));
}

bool IsEncryptedPackageImage(std::string_view image) { return IsEncryptedPackage(ByteSource::OfMemory(image)); }

ResultCode PackagePathResult(PathKind kind) {
  // A folder is no file; a FIFO or device is one that cannot be opened as a package.
  if (kind == PathKind::kMissing || kind == PathKind::kDirectory) return kResultSourceMissing;
  return kind == PathKind::kRegular ? 0 : kResultSourceOpenError;
}

namespace {

// Everything one conversion works with: created for the call and gone after it, so that
// nothing of one package lingers into the next, nor into the encoding of its text.
class TPptxConversion {
 public:
  explicit TPptxConversion(const ZipHostHooks& hooks) {
    FView.PrimaryDocument = &FDocument;
    FReader.Hooks = hooks;
  }
  ~TPptxConversion() { FView.PrimaryDocument = nullptr; }
  TPptxConversion(const TPptxConversion&) = delete;
  TPptxConversion& operator=(const TPptxConversion&) = delete;

  // The UTF-8 text of every slide part of the package file; a negative result code when there
  // is none.
  ResultCode CollectFromFile(const std::u16string& source, TextEncoder& text) {
    const FileStatus info = StatusOfPath(PathToNative(source));
    if (const ResultCode check = PackagePathResult(info.kind); check != 0) return check;
    FReader.SetZipName(source);
    // One open file for the directory and every slide.
    FReader.SetKeepZipOpen(true);
    return CollectFromReader(info.size, text, [&] { return IsEncryptedPackageFile(source); });
  }

  // The same for a package held in memory.
  ResultCode CollectFromImage(std::string_view image, TextEncoder& text) {
    FReader.SetZipImage(image);
    return CollectFromReader(image.size(), text, [&] { return IsEncryptedPackageImage(image); });
  }

 private:
  // The conversion once the reader knows its archive of packageSize bytes.
  template <typename EncryptedCheck>
  ResultCode CollectFromReader(uint64_t packageSize, TextEncoder& text, EncryptedCheck isEncrypted) {
    try {
      FReader.LoadDirectory();
    } catch (const std::bad_alloc&) {
      throw;
    } catch (...) {
      return kResultSourceOpenError;
    }
    const int entryCount = FReader.EntryCount();
    if (entryCount == 0) return isEncrypted() ? kResultEncrypted : kResultFormatError;

    PptxBudget budget = PptxBudget::ForPackage(packageSize);
    const std::vector<SlideEntry> slides = SlideEntries(*FReader.Entries(), static_cast<uint64_t>(entryCount));
    bool noSlideFound = true;
    std::string stream;
    std::string slideText;  // one slide's text, handed to the encoder before the next
    for (size_t first = 0; first < slides.size();) {
      const uint64_t number = slides[first].number;
      FView.Clear();
      stream.clear();
      const uint64_t allowed = std::min(budget.slideBytes, PptxBudget::kSlideBytesCap);
      FReader.SetOutputBudget(allowed);
      int intact = 0;
      for (; first < slides.size() && slides[first].number == number; ++first) {
        if (FReader.ExtractEntryToStream(slides[first].index, stream)) ++intact;
      }
      budget.slideBytes -= allowed - FReader.OutputBudget();
      if (intact == 0) continue;
      noSlideFound = false;
      if (stream.empty()) continue;
      const auto tags = static_cast<uint64_t>(std::count(stream.begin(), stream.end(), '<'));
      if (tags > std::min(budget.tags, PptxBudget::kSlideTagsCap)) return kResultFormatError;
      budget.tags -= tags;
      FView.LoadFromStream(stream, 0);
      if (stream.capacity() > kKeptStreamCapacity) std::string().swap(stream);
      slideText = "slide" + std::to_string(number) + ":\r\n";
      AppendSlideText(FDocument.Root(), slideText);
      // Counted as encoded: a lone line break becomes two bytes.
      const uint64_t encoded = LineBreakLength(slideText, kLineBreakCrLf);
      if (encoded > budget.textBytes) return kResultFormatError;
      budget.textBytes -= encoded;
      text.Append(std::string_view(slideText));
    }
    return noSlideFound ? kResultFormatError : 0;
  }

  TKelUnZip FReader;
  TKelXMLParser FDocument;
  TXMLView FView;
};

// The converter body: collect the text with `collect`, then encode it; lineBreak 1 asks for CR
// line breaks, 2 for LF, anything else CR LF.
template <typename Collect>
ResultCode ConvertCollected(const ZipHostHooks& hooks, Collect collect, OutputBuffer& output,
                            int32_t codePage, int lineBreak) {
  const int style = lineBreak == 1 ? kLineBreakCr : lineBreak == 2 ? kLineBreakLf : kLineBreakCrLf;
  // Each slide's text goes into its encoding as soon as it is read.
  TextEncoder text(TextEncoder::Input::kUtf8, style, codePage);
  {
    TPptxConversion conversion(hooks);
    const ResultCode collected = collect(conversion, text);
    if (collected < 0) return collected;
  }
  return text.Finish(output);
}

}  // namespace

ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage) {
  return ConvertPptx(source, output, codePage, ZipHostHooks{});
}

ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage,
                       const ZipHostHooks& hooks) {
  try {
    return ConvertCollected(
        hooks, [&](TPptxConversion& c, TextEncoder& text) { return c.CollectFromFile(source, text); },
        output, codePage, 0);
  } catch (...) {
    // A damaged entry, a package expanding past its budget: whatever stops the extraction is
    // a format error, unless memory ran out.
    return CaughtFailureCode();
  }
}

ResultCode ConvertPptxImage(std::string_view image, OutputBuffer& output, int32_t codePage) {
  try {
    return ConvertCollected(
        ZipHostHooks{}, [&](TPptxConversion& c, TextEncoder& text) { return c.CollectFromImage(image, text); },
        output, codePage, 0);
  } catch (...) {
    return CaughtFailureCode();
  }
}

}  // namespace dkscr
