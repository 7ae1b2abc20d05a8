#pragma once
// Test-side shorthands over the one conversion entry: a file image in memory or a file path,
// a named format, a form and a code page.
#include <memory>
#include <string>
#include <string_view>

#include "convert/Convert.h"
#include "platform/NativePath.h"

namespace dkscr::test {

inline ConvertRequest RequestFor(PresentationKind format, int32_t codePage, SlideMode mode) {
  ConvertRequest request;
  request.format = format;
  request.codePage = codePage;
  request.mode = mode;
  request.choice = FormatChoice::kByExtension;
  return request;
}

inline ResultCode ConvertBytes(PresentationKind format, std::string_view image, OutputBuffer& out,
                               int32_t codePage, SlideMode mode = SlideMode::kText) {
  const std::unique_ptr<ByteSource> source = ByteSource::OfMemory(image);
  return Convert(*source, RequestFor(format, codePage, mode), out);
}
inline ResultCode ConvertPptBytes(std::string_view image, OutputBuffer& out, int32_t codePage,
                                  SlideMode mode = SlideMode::kText) {
  return ConvertBytes(PresentationKind::kPpt, image, out, codePage, mode);
}
inline ResultCode ConvertPptxBytes(std::string_view image, OutputBuffer& out, int32_t codePage,
                                   SlideMode mode = SlideMode::kText) {
  return ConvertBytes(PresentationKind::kPptx, image, out, codePage, mode);
}

inline ResultCode ConvertPptFile(const std::u16string& path, OutputBuffer& out, int32_t codePage,
                                 SlideMode mode = SlideMode::kText) {
  return ConvertFile(PathToNative(path), RequestFor(PresentationKind::kPpt, codePage, mode), out);
}
inline ResultCode ConvertPptxFile(const std::u16string& path, OutputBuffer& out, int32_t codePage,
                                  SlideMode mode = SlideMode::kText) {
  return ConvertFile(PathToNative(path), RequestFor(PresentationKind::kPptx, codePage, mode), out);
}

inline ResultCode ReadDeckOfBytes(PresentationKind format, std::string_view image, SlideDeck& deck) {
  const std::unique_ptr<ByteSource> source = ByteSource::OfMemory(image);
  return ReadSlideDeck(*source, RequestFor(format, 0, SlideMode::kJson), deck);
}
inline ResultCode ReadPptDeck(std::string_view image, SlideDeck& deck) {
  return ReadDeckOfBytes(PresentationKind::kPpt, image, deck);
}
inline ResultCode ReadDeckOfFile(PresentationKind format, const std::u16string& path, SlideDeck& deck) {
  return ReadSlideDeckFile(PathToNative(path), RequestFor(format, 0, SlideMode::kJson), deck);
}

}  // namespace dkscr::test
