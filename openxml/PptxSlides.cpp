#include "openxml/PptxSlides.h"

#include <algorithm>
#include <map>
#include <new>
#include <unordered_map>
#include <unordered_set>

#include "core/NativePath.h"
#include "core/RegularFile.h"
#include "openxml/KelUnZip.h"
#include "openxml/MarkupWalker.h"
#include "openxml/OfficeXCvt.h"
#include "openxml/OpcRelationships.h"
#include "openxml/PptxPartText.h"

namespace dkscr {
namespace {

constexpr std::string_view kDefaultPresentationPart = "ppt/presentation.xml";

// Parts read by name out of the package. Parts may be shared (one chart on many slides), so
// reading stops at a budget set by what the package holds, whatever its relationships say.
class PackageParts {
 public:
  explicit PackageParts(TKelUnZip& reader) : reader_(reader) {
    uint64_t declared = 0;
    if (const TZipEntryList* entries = reader.Entries()) {
      for (size_t i = 0; i < entries->Count(); ++i) {
        declared += std::min<uint64_t>((*entries)[i].UncompressedSize, TKelUnZip::kMaxEntrySize);
      }
    }
    budget_ = 4 * declared + (1u << 20);
  }

  // The part's bytes; false when it is absent, damaged, or the budget is spent.
  bool Read(std::string_view name, std::string& data) {
    data.clear();
    if (name.empty() || budget_ == 0) return false;
    if (reader_.ExtractToStream(data, name) == 0) return false;
    budget_ = data.size() >= budget_ ? 0 : budget_ - data.size();
    return true;
  }

  std::vector<OpcRelationship> RelationshipsOf(std::string_view part) {
    std::string xml;
    if (!Read(RelationshipsPartName(part), xml)) return {};
    return ParseRelationships(xml, part);
  }

  // The slide parts named ppt/slides/slideN.xml, by N: the order when the presentation part
  // gives none.
  std::vector<std::string> SlidePartsByNumber() const {
    std::map<uint64_t, std::string> byNumber;
    const TZipEntryList* entries = reader_.Entries();
    for (size_t i = 0; entries != nullptr && i < entries->Count(); ++i) {
      std::string name = (*entries)[i].StoredPath();
      std::replace(name.begin(), name.end(), '\\', '/');
      std::string lower = name;
      for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
      constexpr std::string_view kPrefix = "ppt/slides/slide";
      if (!lower.starts_with(kPrefix) || !lower.ends_with(".xml")) continue;
      const std::string_view digits = std::string_view(lower).substr(kPrefix.size(), lower.size() - kPrefix.size() - 4);
      if (digits.empty() || digits.size() > 9 ||
          !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        continue;
      }
      byNumber.emplace(std::stoull(std::string(digits)), name);
    }
    std::vector<std::string> names;
    for (auto& [number, name] : byNumber) names.push_back(name);
    return names;
  }

 private:
  TKelUnZip& reader_;
  uint64_t budget_ = 0;
};

// The slide parts in show order, as the presentation part lists them.
std::vector<std::string> SlidePartsInShowOrder(PackageParts& parts, std::string& presentationPart) {
  presentationPart = kDefaultPresentationPart;
  for (const OpcRelationship& relationship : parts.RelationshipsOf("")) {
    if (RelationshipIs(relationship, "officeDocument")) {
      presentationPart = relationship.target;
      break;
    }
  }
  std::string xml;
  if (!parts.Read(presentationPart, xml)) return {};
  std::unordered_map<std::string, std::string> targets;
  for (OpcRelationship& relationship : parts.RelationshipsOf(presentationPart)) {
    if (RelationshipIs(relationship, "slide")) targets.emplace(relationship.id, std::move(relationship.target));
  }
  std::vector<std::string> order;
  std::unordered_set<std::string> listed;
  MarkupWalker walker(xml);
  for (auto event = walker.Next(); event != MarkupWalker::Event::kEnd; event = walker.Next()) {
    if (event != MarkupWalker::Event::kStartElement || walker.Local() != "sldId" ||
        walker.Open(1) != "sldIdLst") {
      continue;
    }
    const auto it = targets.find(walker.Reader().PrefixedAttribute("id"));
    // A slide listed twice is shown once.
    if (it != targets.end() && listed.insert(it->second).second) order.push_back(it->second);
  }
  return order;
}

std::unordered_map<std::string, std::string> CommentAuthors(PackageParts& parts,
                                                            const std::string& presentationPart) {
  std::unordered_map<std::string, std::string> names;
  for (const OpcRelationship& relationship : parts.RelationshipsOf(presentationPart)) {
    if (!RelationshipIs(relationship, "commentAuthors") && !RelationshipIs(relationship, "authors")) continue;
    std::string xml;
    if (parts.Read(relationship.target, xml)) ReadCommentAuthors(xml, names);
  }
  return names;
}

// What the slide's relationships lead to: notes, SmartArt, charts, comments.
void ReadRelatedParts(PackageParts& parts, const std::string& slidePart,
                      const std::unordered_map<std::string, std::string>& authors, Slide& slide) {
  std::unordered_set<std::string> done;
  std::string xml;
  for (const OpcRelationship& relationship : parts.RelationshipsOf(slidePart)) {
    const bool notes = RelationshipIs(relationship, "notesSlide");
    const bool diagram = RelationshipIs(relationship, "diagramData");
    const bool chart = RelationshipIs(relationship, "chart");
    const bool comments = RelationshipIs(relationship, "comments");
    if (!notes && !diagram && !chart && !comments) continue;
    if (!done.insert(relationship.target).second || !parts.Read(relationship.target, xml)) continue;
    if (notes) ReadNotesPart(xml, slide.notes);
    if (diagram) ReadDiagramPart(xml, slide.diagrams);
    if (chart) ReadChartPart(xml, slide.charts);
    if (comments) {
      for (PartComment& comment : ReadCommentsPart(xml)) {
        const auto author = authors.find(comment.authorId);
        slide.comments.push_back(
            {author != authors.end() ? author->second : comment.authorId, std::move(comment.text)});
      }
    }
  }
}

ResultCode ReadPackage(TKelUnZip& reader, SlideDeck& deck) {
  PackageParts parts(reader);
  std::string presentationPart;
  std::vector<std::string> order = SlidePartsInShowOrder(parts, presentationPart);
  const auto authors = CommentAuthors(parts, presentationPart);
  for (int pass = 0; pass < 2 && deck.slides.empty(); ++pass) {
    // Without a usable list of slides, the slide parts themselves, in the order of their numbers.
    if (pass == 1) order = parts.SlidePartsByNumber();
    std::string xml;
    for (const std::string& name : order) {
      if (!parts.Read(name, xml)) continue;
      Slide slide;
      slide.number = static_cast<int>(deck.slides.size()) + 1;
      ReadSlidePart(xml, slide);
      ReadRelatedParts(parts, name, authors, slide);
      deck.slides.push_back(std::move(slide));
    }
  }
  return deck.slides.empty() ? kResultFormatError : 0;
}

// The package once the reader knows its archive; without one, a password-protected package
// is told from any other file as the default converter tells it.
template <typename EncryptedCheck>
ResultCode ReadLoadedPackage(TKelUnZip& reader, SlideDeck& deck, EncryptedCheck isEncrypted) {
  try {
    reader.LoadDirectory();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    return kResultSourceOpenError;
  }
  if (reader.EntryCount() == 0) return isEncrypted() ? kResultEncrypted : kResultFormatError;
  return ReadPackage(reader, deck);
}

}  // namespace

ResultCode ReadPptxSlides(const std::u16string& source, SlideDeck& deck) {
  try {
    if (const ResultCode check = PackagePathResult(KindOfPath(PathToNative(source))); check != 0) return check;
    TKelUnZip reader;
    reader.SetZipName(source);
    return ReadLoadedPackage(reader, deck, [&] { return IsEncryptedPackageFile(source); });
  } catch (...) {
    // A damaged entry: whatever stops the reading is a format error, unless memory ran out.
    return CaughtFailureCode();
  }
}

ResultCode ReadPptxImageSlides(std::string_view image, SlideDeck& deck) {
  try {
    TKelUnZip reader;
    reader.SetZipImage(image);
    return ReadLoadedPackage(reader, deck, [&] { return IsEncryptedPackageImage(image); });
  } catch (...) {
    return CaughtFailureCode();
  }
}

ResultCode ConvertPptxSlides(const std::u16string& source, SlideMode mode, int32_t codePage,
                             OutputBuffer& output) {
  return ConvertInMode(mode, codePage, output, [&] { return ConvertPptx(source, output, codePage); },
                       [&](SlideDeck& deck) { return ReadPptxSlides(source, deck); });
}

ResultCode ConvertPptxImageSlides(std::string_view image, SlideMode mode, int32_t codePage,
                                  OutputBuffer& output) {
  return ConvertInMode(mode, codePage, output, [&] { return ConvertPptxImage(image, output, codePage); },
                       [&](SlideDeck& deck) { return ReadPptxImageSlides(image, deck); });
}

}  // namespace dkscr
