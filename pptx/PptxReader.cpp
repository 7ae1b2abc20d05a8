#include "pptx/PptxReader.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "cfb/CompoundFile.h"
#include "pptx/ChartPart.h"
#include "pptx/DiagramPart.h"
#include "pptx/DocumentProperties.h"
#include "pptx/ListStyles.h"
#include "pptx/OpcRelationships.h"
#include "pptx/PartText.h"
#include "pptx/PptxBudget.h"
#include "pptx/RunText.h"
#include "pptx/SlidePart.h"
#include "text/Encode.h"
#include "xml/MarkupWalker.h"
#include "xml/XmlTree.h"
#include "zip/ZipNames.h"
#include "zip/ZipReader.h"

namespace dkscr {
namespace {

constexpr std::string_view kDefaultPresentationPart = "ppt/presentation.xml";
// A stream grown past this by one large slide is given back rather than kept for the next.
constexpr size_t kKeptStreamCapacity = size_t{1} << 20;
// The same for the relationships of one slide, kept for the next.
constexpr size_t kKeptRelationships = 256;

struct PptxCancelled {};
// A bound of the budget was passed: the conversion ends with -5.
struct PptxBoundError {};

// A slide part found by its name: its number and its index in the entry list.
struct SlideEntry {
  uint64_t number;
  size_t index;
};

// The number N of an entry whose match key is "ppt\slides\slideN.xml", N written as decimal
// without leading zeros, or -1 for any other entry.
int64_t SlidePartNumber(std::string_view folder, std::string_view file) {
  constexpr std::string_view kPrefix = "slide";
  constexpr std::string_view kSuffix = ".xml";
  if (file.size() <= kPrefix.size() + kSuffix.size() || !MatchKeyIs(folder, "ppt\\slides\\") ||
      !MatchKeyIs(file.substr(0, kPrefix.size()), kPrefix) ||
      !MatchKeyIs(file.substr(file.size() - kSuffix.size()), kSuffix)) {
    return -1;
  }
  const std::string_view digits = file.substr(kPrefix.size(), file.size() - kPrefix.size() - kSuffix.size());
  if (digits.size() > 18 || (digits[0] == '0' && digits.size() > 1)) return -1;
  int64_t number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

// The slide parts numbered below `bound`, in number order and, for one number, in list order.
// Bounded by the number of entries, they are the default text's slides (what asking for every
// number by name finds); unbounded, the show when the presentation lists none.
std::vector<SlideEntry> SlideEntries(const ZipDirectory& entries, uint64_t bound) {
  std::vector<SlideEntry> slides;
  for (size_t i = 0; i < entries.Count(); ++i) {
    if (entries.FileName(i).empty()) continue;
    const int64_t number = SlidePartNumber(entries.Directory(i), entries.FileName(i));
    if (number >= 0 && static_cast<uint64_t>(number) < bound) {
      slides.push_back({static_cast<uint64_t>(number), i});
    }
  }
  std::stable_sort(slides.begin(), slides.end(),
                   [](const SlideEntry& a, const SlideEntry& b) { return a.number < b.number; });
  return slides;
}

// The "<" bytes of a part, counted in blocks the compiler turns into vector compares: every
// part read is counted, as many bytes as are parsed.
uint64_t CountOpenings(std::string_view data) {
  constexpr size_t kBlock = 256;  // a block's count fits in a byte
  uint64_t count = 0;
  size_t at = 0;
  for (; at + kBlock <= data.size(); at += kBlock) {
    uint8_t block = 0;
    for (size_t i = 0; i < kBlock - 1; ++i) block = static_cast<uint8_t>(block + (data[at + i] == '<'));
    count += block + static_cast<uint64_t>(data[at + kBlock - 1] == '<');
  }
  for (; at < data.size(); ++at) count += data[at] == '<';
  return count;
}

// Whether bytes that hold no ZIP package are a password-protected one: a compound document
// with the encrypted package in it (-11 rather than -5).
bool IsEncryptedPackage(ByteSource& source) {
  std::string error;
  const std::shared_ptr<CompoundFile> file = CompoundFile::Open(ByteSource::Borrow(source), error);
  return file && file->HoldsEncryptedPackage();
}

class PptxReader {
 public:
  PptxReader(ByteSource& source, std::u16string_view name, const PptxReadTargets& targets)
      : source_(source),
        targets_(targets),
        zip_(source, name.size() >= 4 && PathsEqualIgnoringCase(name.substr(name.size() - 4), u".exe")) {}

  ResultCode Read() {
    try {
      zip_.LoadDirectory();
    } catch (const std::bad_alloc&) {
      throw;
    } catch (...) {
      return kResultSourceOpenError;
    }
    if (zip_.EntryCount() == 0) return IsEncryptedPackage(source_) ? kResultEncrypted : kResultFormatError;
    budget_ = PptxBudget::ForPackage(source_.Size());
    slideEntries_ = SlideEntries(*zip_.Entries(), zip_.Entries()->Count());
    if (targets_.text != nullptr) {
      if (const ResultCode text = ReadText(*targets_.text); text < 0) return text;
    }
    if (targets_.deck != nullptr) return ReadDeck(*targets_.deck);
    if (targets_.metadata != nullptr) return ReadMetadataOnly(*targets_.metadata);
    return 0;
  }

 private:
  void CheckCancel() const {
    if (targets_.cancel != nullptr && targets_.cancel->load(std::memory_order_relaxed)) throw PptxCancelled();
  }

  // ---- Reading parts within the budget ----

  // Inflates what `extract` appends to `data` (one entry, or every entry of a name) within the
  // budget: no part past its cap, no package past its bound, entries that share their data
  // counted each time they are read. Returns what `extract` returns.
  template <typename Extract>
  auto Inflate(Extract extract) {
    const uint64_t allowed = std::min(budget_.partBytes, PptxBudget::kSlideBytesCap);
    zip_.SetOutputBudget(allowed);
    const auto result = extract();  // ZipTooLargeError past the budget
    budget_.partBytes -= allowed - zip_.OutputBudget();
    zip_.SetOutputBudget(ZipReader::kUnbounded);
    return result;
  }

  // Counts the tags of a part read: a slide part may hold no more than its cap, the package no
  // more than its bound.
  void CountTags(std::string_view data, bool slidePart) {
    const uint64_t tags = CountOpenings(data);
    if (tags > budget_.tags || (slidePart && tags > PptxBudget::kSlideTagsCap)) throw PptxBoundError();
    budget_.tags -= tags;
  }

  // ---- The default text: every slide part by its number, as an element tree ----

  ResultCode ReadText(TextEncoder& text) {
    XmlTree document;
    bool noSlideFound = true;
    std::string stream;
    std::string slideText;  // one slide's text, handed to the encoder before the next
    for (size_t first = 0; first < slideEntries_.size();) {
      CheckCancel();
      const uint64_t number = slideEntries_[first].number;
      document.Clear();
      stream.clear();
      const int intact = Inflate([&] {
        int n = 0;
        for (; first < slideEntries_.size() && slideEntries_[first].number == number; ++first) {
          if (zip_.ExtractEntryToStream(slideEntries_[first].index, stream)) ++n;
        }
        return n;
      });
      if (intact == 0) continue;
      noSlideFound = false;
      if (stream.empty()) continue;
      CountTags(stream, true);
      document.LoadFromStream(stream, 0);
      if (stream.capacity() > kKeptStreamCapacity) std::string().swap(stream);
      slideText = "slide" + std::to_string(number) + ":\r\n";
      AppendRunText(document.Root(), slideText);
      // Counted as encoded: a lone line break becomes two bytes.
      const uint64_t encoded = LineBreakLength(slideText, kLineBreakCrLf);
      if (encoded > budget_.textBytes) return kResultFormatError;
      budget_.textBytes -= encoded;
      text.Append(std::string_view(slideText));
    }
    return noSlideFound ? kResultFormatError : 0;
  }

  // ---- The slide model: parts by name, through the package's relationships ----

  // The part's bytes; false when it is absent or damaged. Parts may be shared (one chart on
  // many slides) and each reading counts, so the package's budget bounds what its
  // relationships can make the model read.
  bool ReadPart(std::string_view name, std::string& data, bool slidePart = false) {
    data.clear();
    if (name.empty() || Inflate([&] { return zip_.ExtractToStream(data, name); }) == 0) return false;
    CountTags(data, slidePart);
    return true;
  }

  std::vector<OpcRelationship> RelationshipsOf(std::string_view part, bool withExternal = false) {
    std::vector<OpcRelationship> relationships;
    RelationshipsInto(part, withExternal, relationships);
    return relationships;
  }
  // The same into `relationships`, its storage reused, as is the buffer the part is read into.
  void RelationshipsInto(std::string_view part, bool withExternal, std::vector<OpcRelationship>& relationships) {
    RelationshipsPartNameInto(part, relationshipsName_);
    if (!ReadPart(relationshipsName_, relationshipsXml_)) {
      relationships.clear();
      return;
    }
    ParseRelationshipsInto(relationshipsXml_, part, withExternal, relationships);
    if (relationshipsXml_.capacity() > kKeptStreamCapacity) std::string().swap(relationshipsXml_);
  }

  // A slide of the show: its part and its id.
  struct ShowSlide {
    std::string part;
    std::optional<uint32_t> id;
    // The one entry of that name once it has been looked up, so that reading it needs no
    // second look-up; kUnknownEntry when not looked up or when several entries have the name.
    size_t entry = kUnknownEntry;
  };
  static constexpr size_t kUnknownEntry = SIZE_MAX;
  struct Section {
    std::string name;
    std::vector<uint32_t> slideIds;
  };

  // The presentation part, read once: the slides in show order (a slide listed twice is shown
  // once), the sections and the default text style.
  void ReadPresentation() {
    packageRelationships_ = RelationshipsOf("");
    presentationPart_ = kDefaultPresentationPart;
    for (const OpcRelationship& relationship : packageRelationships_) {
      if (RelationshipIs(relationship, "officeDocument")) {
        presentationPart_ = relationship.target;
        break;
      }
    }
    std::string xml;
    if (!ReadPart(presentationPart_, xml)) return;
    presentationRelationships_ = RelationshipsOf(presentationPart_);
    // Views of the relationships' own strings, which outlive the walk: a long deck lists many.
    std::unordered_map<std::string_view, std::string_view> targets;
    targets.reserve(presentationRelationships_.size());
    for (const OpcRelationship& relationship : presentationRelationships_) {
      if (RelationshipIs(relationship, "slide")) targets.emplace(relationship.id, relationship.target);
    }
    std::unordered_set<std::string_view> listed;
    listed.reserve(targets.size());
    size_t styleDepth = 0;  // of the open default text style, 0 when none
    MarkupWalker walker(xml);
    for (auto event = walker.Next(); event != MarkupWalker::Event::kEnd; event = walker.Next()) {
      if (event == MarkupWalker::Event::kEndElement && walker.Depth() < styleDepth) styleDepth = 0;
      if (event != MarkupWalker::Event::kStartElement) continue;
      if (styleDepth != 0) {
        defaultStyle_.TakeAndPass(walker, styleDepth);
        continue;
      }
      const std::string_view local = walker.Local();
      if (local == "defaultTextStyle" && walker.Depth() == 2) {
        styleDepth = walker.Depth();
      } else if (local == "section" && walker.Open(1) == "sectionLst") {
        sections_.push_back({walker.Reader().Attribute("name"), {}});
      } else if (local == "sldId" && walker.Open(1) == "sldIdLst" && walker.Open(2) == "section") {
        if (const std::optional<uint32_t> id = SlideIdOf(walker.Reader().Attribute("id")); id && !sections_.empty()) {
          sections_.back().slideIds.push_back(*id);
        }
      } else if (local == "sldId" && walker.Open(1) == "sldIdLst") {
        const auto it = targets.find(walker.Reader().PrefixedAttribute("id"));
        if (it != targets.end() && listed.insert(it->second).second) {
          show_.push_back({std::string(it->second), SlideIdOf(walker.Reader().Attribute("id"))});
        }
      }
    }
  }

  static std::optional<uint32_t> SlideIdOf(std::string_view text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value <= UINT32_MAX ? std::optional<uint32_t>(static_cast<uint32_t>(value)) : std::nullopt;
  }

  // The document's properties, from the parts the package's relationships name.
  void ReadMetadata(DocumentMetadata& metadata) {
    std::string xml;
    for (const OpcRelationship& relationship : packageRelationships_) {
      const bool core = RelationshipIs(relationship, "core-properties");
      const bool extended = RelationshipIs(relationship, "extended-properties");
      const bool custom = RelationshipIs(relationship, "custom-properties");
      if ((!core && !extended && !custom) || !ReadPart(relationship.target, xml)) continue;
      if (core) ReadCoreProperties(xml, metadata);
      if (extended) ReadExtendedProperties(xml, metadata);
      if (custom) ReadCustomProperties(xml, metadata);
    }
  }

  void ReadCommentAuthorParts() {
    for (const OpcRelationship& relationship : presentationRelationships_) {
      if (!RelationshipIs(relationship, "commentAuthors") && !RelationshipIs(relationship, "authors")) continue;
      std::string xml;
      if (ReadPart(relationship.target, xml)) ReadCommentAuthors(xml, authors_, budget_.model);
    }
  }

  // A layout or master part, read once however many slides use it; none when it cannot be
  // read.
  const TemplatePart* Template(const std::string& part) {
    auto [it, added] = templates_.try_emplace(part);
    if (added) {
      std::string xml;
      if (ReadPart(part, xml)) it->second = std::make_unique<TemplatePart>(ReadTemplatePart(xml));
    }
    return it->second.get();
  }
  const TemplatePart* MasterOfLayout(const std::string& layout) {
    auto [it, added] = masterOfLayout_.try_emplace(layout);
    if (added) {
      for (const OpcRelationship& relationship : RelationshipsOf(layout)) {
        if (RelationshipIs(relationship, "slideMaster")) {
          it->second = relationship.target;
          break;
        }
      }
    }
    return it->second.empty() ? nullptr : Template(it->second);
  }

  // A slide part's content with what its relationships lead to.
  void ReadSlide(const std::string& part, std::string_view xml, Slide& slide) {
    std::vector<OpcRelationship>& relationships = slideRelationships_;
    RelationshipsInto(part, true, relationships);
    SlidePartContext context{&relationships, &slideNumbers_, {}, &budget_.model, &xmlBuffer_};
    context.styles.defaultStyle = &defaultStyle_;
    for (const OpcRelationship& relationship : relationships) {
      if (relationship.external || !RelationshipIs(relationship, "slideLayout")) continue;
      context.styles.layout = Template(relationship.target);
      context.styles.master = MasterOfLayout(relationship.target);
      if (context.styles.layout != nullptr && !context.styles.layout->name.empty()) {
        slide.layout = context.styles.layout->name;
      }
      break;
    }
    std::vector<RelatedBlock> related;
    ReadSlidePart(xml, slide, context, &related);
    ReadRelatedParts(relationships, slide, related);
    // A slide of many links is not held on to for the slides after it.
    if (relationships.capacity() > kKeptRelationships) std::vector<OpcRelationship>().swap(relationships);
  }

  // What the slide's relationships lead to: notes, SmartArt, charts, comments; and the chart
  // and SmartArt blocks filled from the same reading.
  void ReadRelatedParts(const std::vector<OpcRelationship>& relationships, Slide& slide,
                        const std::vector<RelatedBlock>& related) {
    std::vector<std::string_view> done;  // the targets read; a slide links few parts
    std::unordered_set<std::string_view> doneMany;  // past kFewTargets of them, hashed
    std::unordered_map<std::string, ChartContent> charts;
    std::unordered_map<std::string, std::vector<DiagramItem>> diagrams;
    std::string& xml = relatedXml_;
    for (const OpcRelationship& relationship : relationships) {
      if (relationship.external) continue;
      const bool notes = RelationshipIs(relationship, "notesSlide");
      const bool diagram = RelationshipIs(relationship, "diagramData");
      const bool chart = RelationshipIs(relationship, "chart");
      const bool comments = RelationshipIs(relationship, "comments");
      if (!notes && !diagram && !chart && !comments) continue;
      if (!FirstTime(relationship.target, done, doneMany) || !ReadPart(relationship.target, xml)) continue;
      if (notes) ReadNotesPart(xml, slide.notes, slide.notesFooters, budget_.model, &xmlBuffer_);
      if (diagram) ReadDiagramPart(xml, slide.diagrams, diagrams[relationship.target], budget_.model);
      if (chart) ReadChartPart(xml, slide.charts, charts[relationship.target], budget_.model);
      if (comments) {
        for (PartComment& comment : ReadCommentsPart(xml, budget_.model)) {
          // Every comment of an author shows the one name.
          const auto author = authors_.find(comment.authorId);
          slide.comments.push_back({author != authors_.end() ? author->second : SharedText(std::move(comment.authorId)),
                                    std::move(comment.text)});
        }
      }
    }
    if (xml.capacity() > kKeptStreamCapacity) std::string().swap(xml);
    for (const RelatedBlock& block : related) {
      SlideBlock& target = slide.blocks[block.block];
      if (const auto chart = charts.find(block.part); chart != charts.end() && target.type == BlockType::kChart) {
        target.chartType = chart->second.type;
        target.title = chart->second.title;
        target.series = chart->second.series;
      } else if (const auto items = diagrams.find(block.part); items != diagrams.end()) {
        target.items = items->second;
      }
    }
  }

  // Whether `target` is met for the first time, noting it.
  static bool FirstTime(std::string_view target, std::vector<std::string_view>& few,
                        std::unordered_set<std::string_view>& many) {
    constexpr size_t kFewTargets = 16;
    if (few.size() < kFewTargets) {
      if (std::find(few.begin(), few.end(), target) != few.end()) return false;
      few.push_back(target);
      return true;
    }
    if (many.empty()) many.insert(few.begin(), few.end());
    return many.insert(target).second;
  }

  // The stored name of an entry with "/" between its folders.
  std::string EntryPartName(size_t index) const {
    std::string name = zip_.Entries()->StoredPath(index);
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
  }

  // A slide of the show's part, as ReadPart reads it, with the entries it came from: none
  // when the name has blanks around it (its entries are then taken for parts of no slide too).
  bool ReadShowSlide(const ShowSlide& slide, std::string& data, std::vector<size_t>& entries) {
    const std::string_view part = slide.part;
    data.clear();
    if (slide.entry != kUnknownEntry) {
      entries.assign(1, slide.entry);
    } else {
      zip_.FindEntries(part, entries);
    }
    const int intact = Inflate([&] {
      int n = 0;
      for (const size_t entry : entries) n += zip_.ExtractEntryToStream(entry, data) ? 1 : 0;
      return n;
    });
    if (intact == 0) return false;
    CountTags(data, true);
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    if (blank(part.front()) || blank(part.back())) entries.clear();
    return true;
  }

  // A slide part's bytes by its entry; false when damaged.
  bool ReadEntry(size_t index, std::string& data) {
    data.clear();
    if (!Inflate([&] { return zip_.ExtractEntryToStream(index, data); })) return false;
    CountTags(data, true);
    return true;
  }

  // One slide per part number, the parts of one number read into the same slide.
  void ReadSlidesByNumber(const std::vector<SlideEntry>& entries, SlideDeck& deck) {
    std::string xml;
    for (size_t first = 0; first < entries.size();) {
      CheckCancel();
      const uint64_t number = entries[first].number;
      Slide slide;
      std::string name;
      std::vector<OpcRelationship> relationships;
      SlidePartContext context{&relationships, nullptr, {}, &budget_.model};
      context.styles.defaultStyle = &defaultStyle_;
      std::vector<RelatedBlock> related;
      for (; first < entries.size() && entries[first].number == number; ++first) {
        if (!ReadEntry(entries[first].index, xml)) continue;
        if (name.empty()) {
          name = EntryPartName(entries[first].index);
          relationships = RelationshipsOf(name, true);
        }
        ReadSlidePart(xml, slide, context, &related);
      }
      if (name.empty()) continue;
      slide.number = static_cast<int>(deck.SlideCount()) + 1;
      ReadRelatedParts(relationships, slide, related);
      budget_.model.TakeSlide();
      deck.Add(std::move(slide));
    }
  }

  ResultCode ReadDeck(SlideDeck& deck) {
    ReadPresentation();
    ReadMetadata(deck.metadata);
    deck.outputBound = budget_.model.OutputBound();
    IndexSections();
    ReadCommentAuthorParts();
    std::vector<OpcRelationship>().swap(presentationRelationships_);  // a long deck's are many
    // The numbers the show's slides will have, for links that jump to them.
    slideNumbers_.reserve(show_.size());
    std::vector<size_t> entries;
    for (ShowSlide& slide : show_) {
      zip_.FindEntries(slide.part, entries);
      if (entries.size() == 1) slide.entry = entries.front();
      if (!entries.empty()) slideNumbers_.emplace(slide.part, static_cast<int>(slideNumbers_.size()) + 1);
    }
    // The entries the slides came from: those whose names match a slide's part as written.
    std::vector<bool> shown(zip_.Entries()->Count());
    std::string xml;
    for (const ShowSlide& show : show_) {
      CheckCancel();
      if (!ReadShowSlide(show, xml, entries)) continue;
      const uint64_t left = budget_.model.Left();
      Slide slide;
      slide.number = static_cast<int>(deck.SlideCount()) + 1;
      slide.id = show.id;
      ReadSlide(show.part, xml, slide);
      PlaceInSection(slide);
      budget_.model.TakeSlide();
      const bool kept = deck.sink == nullptr;
      deck.Add(std::move(slide));
      // A slide handed to a form is held no longer: the budget bounds what is held at once.
      if (!kept) budget_.model.Give(left - budget_.model.Left());
      for (const size_t entry : entries) shown[entry] = true;
    }
    if (deck.SlideCount() == 0) {
      // Without a usable list of slides, the slide parts themselves, in the order of their
      // numbers.
      ReadSlidesByNumber(SlideEntries(*zip_.Entries(), UINT64_MAX), deck);
    } else {
      // The parts of the default text that the show leaves out are text on no slide.
      for (const SlideEntry& entry : slideEntries_) {
        CheckCancel();
        if (shown[entry.index] || !ReadEntry(entry.index, xml)) continue;
        Slide slide;
        SlidePartContext context;
        context.budget = &budget_.model;
        ReadSlidePart(xml, slide, context);
        deck.orphans.insert(deck.orphans.end(), std::make_move_iterator(slide.paragraphs.begin()),
                            std::make_move_iterator(slide.paragraphs.end()));
      }
    }
    for (size_t i = 0; i < sections_.size(); ++i) {
      // The slides in the order the section lists them.
      std::vector<std::pair<size_t, int>>& placed = sectionSlides_[i];
      std::sort(placed.begin(), placed.end());
      SlideSection out{sections_[i].name, {}};
      for (const auto& [position, number] : placed) out.slides.push_back(number);
      deck.sections.push_back(std::move(out));
    }
    return deck.SlideCount() == 0 ? kResultFormatError : 0;
  }

  // Where each slide id goes: the first section that lists it, where it first lists it.
  void IndexSections() {
    sectionSlides_.assign(sections_.size(), {});
    for (size_t i = 0; i < sections_.size(); ++i) {
      for (size_t at = 0; at < sections_[i].slideIds.size(); ++at) {
        sectionOfId_.emplace(sections_[i].slideIds[at], SectionPlace{i, at});
      }
    }
  }

  // Puts a slide of the show in its section as it is read (a form may write it at once). Of
  // slides that share an id, the first takes the place.
  void PlaceInSection(Slide& slide) {
    if (sections_.empty() || !slide.id || !placedIds_.insert(*slide.id).second) return;
    const auto it = sectionOfId_.find(*slide.id);
    if (it == sectionOfId_.end()) return;
    slide.section = sections_[it->second.section].name;
    sectionSlides_[it->second.section].emplace_back(it->second.position, slide.number);
  }

  ResultCode ReadMetadataOnly(DocumentMetadata& metadata) {
    packageRelationships_ = RelationshipsOf("");
    ReadMetadata(metadata);
    return 0;
  }

  ByteSource& source_;
  PptxReadTargets targets_;
  ZipReader zip_;
  PptxBudget budget_;
  std::vector<SlideEntry> slideEntries_;
  std::string presentationPart_;
  std::vector<OpcRelationship> packageRelationships_;
  std::vector<OpcRelationship> presentationRelationships_;
  std::vector<ShowSlide> show_;
  std::vector<Section> sections_;
  struct SectionPlace {
    size_t section;
    size_t position;  // in its list of slide ids
  };
  std::unordered_map<uint32_t, SectionPlace> sectionOfId_;
  std::unordered_set<uint32_t> placedIds_;
  std::vector<std::vector<std::pair<size_t, int>>> sectionSlides_;  // (position, number) of each section
  ListStyle defaultStyle_;
  std::unordered_map<std::string, int> slideNumbers_;  // slide part -> number in the show
  std::unordered_map<std::string, std::unique_ptr<TemplatePart>> templates_;
  std::unordered_map<std::string, std::string> masterOfLayout_;
  std::unordered_map<std::string, SharedText> authors_;
  // Reused from part to part: a long deck reads thousands of small ones.
  std::string relationshipsName_;
  std::string relationshipsXml_;
  std::vector<OpcRelationship> slideRelationships_;
  std::string relatedXml_;
  XmlBuffer xmlBuffer_;  // the markup walkers' copy of a slide or notes part
};

}  // namespace

ResultCode ReadPptx(ByteSource& source, std::u16string_view name, const PptxReadTargets& targets) {
  try {
    return PptxReader(source, name, targets).Read();
  } catch (const PptxCancelled&) {
    return kResultCancelled;
  } catch (...) {
    // A damaged entry, a package expanding past its budget: whatever stops the extraction is
    // a format error, unless memory ran out.
    return CaughtFailureCode();
  }
}

}  // namespace dkscr
