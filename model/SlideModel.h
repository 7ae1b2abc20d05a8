#pragma once
// What a reader sees in a presentation, slide by slide in show order. Both readers fill it and
// every output form is made from it. Texts are UTF-8.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dkscr {

struct SlideTable {
  std::vector<std::vector<std::string>> rows;  // cell texts; merged-away cells stay as ""
  // The table's paragraphs in Slide::paragraphs: [firstParagraph, endParagraph).
  size_t firstParagraph = 0;
  size_t endParagraph = 0;
};

// A text that many items show, held once however often it is shown (a comment's author).
class SharedText {
 public:
  SharedText() = default;
  SharedText(std::string text) : text_(std::make_shared<const std::string>(std::move(text))) {}  // NOLINT
  SharedText(const char* text) : SharedText(std::string(text)) {}  // NOLINT
  const std::string& str() const {
    static const std::string kEmpty;
    return text_ ? *text_ : kEmpty;
  }
  operator std::string_view() const { return str(); }  // NOLINT
  friend bool operator==(const SharedText& a, std::string_view b) { return a.str() == b; }

 private:
  std::shared_ptr<const std::string> text_;
};

struct SlideComment {
  SharedText author;
  std::string text;
};

// A run of a paragraph that carries a hyperlink, and where it leads: an external target as the
// file writes it, a jump to a slide as "#slide=N" (N its number in the show).
struct TextLink {
  std::string text;
  std::string target;
  size_t offset = 0;  // where the text starts in the paragraph's, in bytes
};

struct TextParagraph {
  std::string text;
  int level = 0;                      // the outline level, 0 the outermost
  std::optional<std::string> bullet;  // the bullet character or the number as shown ("3.")
  std::vector<TextLink> links;
  size_t index = SIZE_MAX;  // where the paragraph stands in Slide::paragraphs
};

// A cell of a table where it starts; the positions a merged cell covers have no cell.
struct TableCell {
  std::string text;
  int rowSpan = 1;
  int colSpan = 1;
};

struct ChartSeries {
  std::optional<std::string> name;
  std::vector<std::string> categories;
  std::vector<std::optional<double>> values;  // none: an empty or "#N/A" point
};

struct DiagramItem {
  std::string text;
  int level = 0;  // 0 for the diagram's top nodes
};

enum class BlockType { kText, kTable, kPicture, kChart, kDiagram, kMedia, kOle };

// One piece of a slide's content, where its shape stands in the shape tree. The fields a type
// does not use stay empty.
struct SlideBlock {
  BlockType type = BlockType::kText;
  std::optional<uint32_t> shapeId;  // the shape's id in the file
  std::optional<std::string> name;  // the shape's name
  std::optional<std::string> placeholder;  // kText: "title", "body" ..., none for other shapes
  std::vector<TextParagraph> paragraphs;   // kText
  std::vector<std::vector<TableCell>> rows;  // kTable
  std::optional<std::string> alt;      // kPicture: the description a screen reader reads
  std::optional<std::string> title;    // kPicture, kChart
  std::optional<std::string> image;    // kPicture: the image's part name
  std::optional<std::string> chartType;  // kChart: "bar", "line", "pie" ...
  std::vector<ChartSeries> series;       // kChart
  std::vector<DiagramItem> items;        // kDiagram
  std::optional<std::string> mediaType;  // kMedia: "video" or "audio"
  std::optional<std::string> progId;     // kOle: the embedded object's program ("Excel.Sheet.12")
  std::optional<std::string> target;     // kMedia, kOle: the part or file it comes from
  bool holdsTitle = false;  // kText: the slide's title is this block's text (forms show it apart)
};

struct Slide {
  int number = 0;  // 1-based position in the show
  bool hidden = false;
  std::string title;                    // the title placeholder's paragraphs, joined by "\n"
  std::vector<std::string> paragraphs;  // every non-empty paragraph, in document order
  std::vector<std::string> notes;
  std::vector<SlideTable> tables;
  std::vector<std::string> diagrams;
  std::vector<std::string> charts;
  std::vector<SlideComment> comments;
  // Header, footer and date texts of the slide (also among its paragraphs) and of its notes
  // page (not among the notes).
  std::vector<std::string> footers;
  std::vector<std::string> notesFooters;
  // The title's paragraphs in `paragraphs`: [titleBegin, titleEnd), empty when none.
  size_t titleBegin = 0;
  size_t titleEnd = 0;
  std::optional<uint32_t> id;  // the slide's own id, which reordering keeps
  std::optional<std::string> section;
  std::optional<std::string> layout;
  // The content in the shape tree's order, each text once; header, footer and date are in
  // `footers` only.
  std::vector<SlideBlock> blocks;
  std::vector<std::string> links;  // every hyperlink target of the slide, once each
};

// A value of a custom document property.
struct PropertyValue {
  enum class Kind { kText, kNumber, kBool, kDate } kind = Kind::kText;
  std::string text;  // kText; kDate as ISO 8601 in UTC
  double number = 0;
  bool flag = false;
};

// The document's properties; a field is none where the file does not have it.
struct DocumentMetadata {
  std::optional<std::string> title, subject, author, keywords, description, lastModifiedBy, revision;
  std::optional<std::string> created, modified;  // ISO 8601 in UTC ("2024-05-01T09:30:00Z")
  std::optional<std::string> category, company, application;
  std::vector<std::pair<std::string, PropertyValue>> custom;  // in the file's order
};

struct SlideSection {
  std::string name;
  std::vector<int> slides;  // their numbers in the show
};

struct SlideDeck;

// Where a reader hands each slide once it is complete, in show order, when the deck is not to
// keep them: a form writes the slide and lets it go, so that a long deck is never held whole.
// The deck's metadata and outputBound are set before its first slide; its sections and orphans
// may come after its last.
class SlideSink {
 public:
  virtual ~SlideSink() = default;
  virtual void Take(const SlideDeck& deck, Slide&& slide) = 0;
};

struct SlideDeck {
  DocumentMetadata metadata;
  std::vector<SlideSection> sections;
  std::vector<Slide> slides;
  // Text the file holds on no slide of the show: a notes page whose slide is gone, a slide
  // part the presentation does not list.
  std::vector<std::string> orphans;
  // What a form may write of this deck, set by the reader from what the file holds
  // (ModelBudget::OutputBound); past it a form fails as the reading would.
  uint64_t outputBound = UINT64_MAX;
  // When set, the slides go there as they are added instead of into `slides`.
  SlideSink* sink = nullptr;
  size_t handedOver = 0;  // slides added to the sink

  // Where readers put each slide, in show order.
  void Add(Slide&& slide) {
    if (sink == nullptr) {
      slides.push_back(std::move(slide));
      return;
    }
    ++handedOver;
    sink->Take(*this, std::move(slide));
  }
  // The slides added so far.
  size_t SlideCount() const { return handedOver + slides.size(); }
};

}  // namespace dkscr
