#pragma once
// Presentations built to hurt every output form, header only: small files that describe a
// great deal. Link ZLIB::ZLIB (the packages are deflated by zlib, a piece at a time, so that
// building a 250 MiB slide costs a few megabytes).
#include <zlib.h>

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/PptBuilder.h"
#include "tests/support/PptxBuilder.h"
#include "tests/support/ZipWriter.h"

namespace dkscr::test::hostile {

// Raw Deflate, CRC-32 and size of data given in pieces, some repeated many times.
class StreamDeflater {
 public:
  StreamDeflater() {
    // Runs of one byte pack best as matches at distance one.
    if (deflateInit2(&zs_, 9, Z_DEFLATED, -15, 9, Z_RLE) != Z_OK) throw std::runtime_error("deflateInit2");
  }
  ~StreamDeflater() { deflateEnd(&zs_); }
  StreamDeflater(const StreamDeflater&) = delete;
  StreamDeflater& operator=(const StreamDeflater&) = delete;

  StreamDeflater& Put(std::string_view data, uint64_t times = 1) {
    for (uint64_t i = 0; i < times; ++i) Run(data, Z_NO_FLUSH);
    return *this;
  }
  // `bytes` of one character, put a megabyte at a time.
  StreamDeflater& Fill(char c, uint64_t bytes) {
    const std::string block(1 << 20, c);
    for (; bytes >= block.size(); bytes -= block.size()) Run(block, Z_NO_FLUSH);
    return Put(std::string(bytes, c));
  }
  // The entry of a package holding what was put, under `name`.
  ZipEntrySpec Entry(std::string name) {
    Run({}, Z_FINISH);
    ZipEntrySpec entry = test::Entry(std::move(name), "");
    entry.compressed = out_;
    entry.crc = crc_;
    entry.uncompressedSize = static_cast<uint32_t>(size_);
    return entry;
  }

 private:
  void Run(std::string_view data, int flush) {
    // (zlib's crc32 of no buffer is its initial value, not the CRC so far.)
    if (!data.empty()) {
      crc_ = static_cast<uint32_t>(crc32(crc_, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    }
    size_ += data.size();
    zs_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs_.avail_in = static_cast<uInt>(data.size());
    int rc = Z_OK;
    do {
      char chunk[1 << 16];
      zs_.next_out = reinterpret_cast<Bytef*>(chunk);
      zs_.avail_out = sizeof chunk;
      rc = deflate(&zs_, flush);
      out_.append(chunk, sizeof chunk - zs_.avail_out);
    } while (zs_.avail_in > 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
  }

  z_stream zs_{};
  std::string out_;
  uint32_t crc_ = 0;
  uint64_t size_ = 0;
};

inline constexpr std::string_view kSlideHead =
    "<p:sld xmlns:a=\"a\" xmlns:p=\"p\"><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>";
inline constexpr std::string_view kSlideTail = "</a:t></a:r></a:p></p:txBody></p:sp></p:spTree></p:cSld></p:sld>";

inline std::string SlideName(int number) { return "ppt/slides/slide" + std::to_string(number) + ".xml"; }

// `slides` slides, each one text run of `runBytes` letters: 250 MiB pack into 256 KB.
inline std::string HugeRunPackage(uint64_t runBytes, int slides) {
  StreamDeflater slide;
  const ZipEntrySpec packed = slide.Put(kSlideHead).Fill('w', runBytes).Put(kSlideTail).Entry("");
  ZipWriter zip;
  for (int n = 1; n <= slides; ++n) {
    ZipEntrySpec entry = packed;
    entry.name = SlideName(n);
    zip.Add(std::move(entry));
  }
  return zip.Build();
}

// One slide of `runBytes` letters stored once, and a directory of `entries` slide parts whose
// local headers all lead to it: every entry inflates the same stream again.
inline std::string SharedStreamPackage(int entries, uint64_t runBytes) {
  StreamDeflater slide;
  const ZipEntrySpec packed = slide.Put(kSlideHead).Fill('w', runBytes).Put(kSlideTail).Entry("");
  ZipWriter one;
  ZipEntrySpec first = packed;
  first.name = SlideName(1);
  one.Add(first);
  ZipLayout layout;
  const std::string single = one.Build(&layout);
  // The local header and its data, then the central record repeated under other names.
  std::string out = single.substr(0, layout.centralDirOffset);
  const std::string record = single.substr(layout.centralDirOffset, single.size() - layout.centralDirOffset - 22);
  const std::string firstName = SlideName(1);
  const auto cdStart = static_cast<uint32_t>(out.size());
  for (int n = 1; n <= entries; ++n) {
    std::string copy = record.substr(0, 28);
    const std::string name = SlideName(n);
    PutLe16(copy, static_cast<uint32_t>(name.size()));
    copy += record.substr(30, 16);  // extra and comment lengths, disk, attributes, offset 0
    copy += name;
    out += copy;
  }
  const auto cdSize = static_cast<uint32_t>(out.size()) - cdStart;
  PutLe32(out, 0x06054b50);
  PutLe32(out, 0);
  PutLe16(out, static_cast<uint32_t>(entries));
  PutLe16(out, static_cast<uint32_t>(entries));
  PutLe32(out, cdSize);
  PutLe32(out, cdStart);
  PutLe16(out, 0);
  return out;
}

// A slide of `depth` elements, each inside the one before, never closed.
inline std::string NestedPackage(uint64_t depth) {
  StreamDeflater slide;
  ZipWriter zip;
  zip.Add(slide.Put("<p:sld xmlns:a=\"a\" xmlns:p=\"p\"><p:cSld>").Put("<a>", depth).Entry(SlideName(1)));
  return zip.Build();
}

// One comment author of `nameBytes` letters and `comments` comments of theirs on one slide.
inline std::string AuthorPackage(uint64_t nameBytes, int comments) {
  ZipWriter zip;
  zip.Add("_rels/.rels", Rels({{"officeDocument", "ppt/presentation.xml"}}));
  zip.Add("ppt/presentation.xml", "<p:presentation" + std::string(kNs) +
                                      "><p:sldIdLst><p:sldId id=\"256\" r:id=\"rId1\"/></p:sldIdLst></p:presentation>");
  zip.Add("ppt/_rels/presentation.xml.rels", Rels({{"slide", "slides/slide1.xml"}, {"commentAuthors", "commentAuthors.xml"}}));
  StreamDeflater authors;
  zip.Add(authors.Put("<p:cmAuthorLst" + std::string(kNs) + "><p:cmAuthor id=\"0\" name=\"")
              .Fill('n', nameBytes)
              .Put("\"/></p:cmAuthorLst>")
              .Entry("ppt/commentAuthors.xml"));
  zip.Add(SlideName(1), SlideXml(Shape("title", Para("Reviewed"))));
  zip.Add("ppt/slides/_rels/slide1.xml.rels", Rels({{"comments", "../comments/comment1.xml"}}));
  StreamDeflater list;
  zip.Add(list.Put("<p:cmLst" + std::string(kNs) + ">")
              .Put("<p:cm authorId=\"0\"><p:text>ok</p:text></p:cm>", static_cast<uint64_t>(comments))
              .Put("</p:cmLst>")
              .Entry("ppt/comments/comment1.xml"));
  return zip.Build();
}

// A table whose first row has `columns` cells and which has `rows` more rows of one cell:
// padded to its widest row it would be columns x rows cells.
inline std::string RaggedTablePackage(int columns, int rows) {
  StreamDeflater slide;
  slide.Put("<p:sld" + std::string(kNs) + "><p:cSld><p:spTree><p:graphicFrame><a:graphic><a:graphicData><a:tbl><a:tr>")
      .Put("<a:tc/>", static_cast<uint64_t>(columns))
      .Put("</a:tr>")
      .Put("<a:tr><a:tc><a:txBody><a:p><a:r><a:t>x</a:t></a:r></a:p></a:txBody></a:tc></a:tr>", static_cast<uint64_t>(rows))
      .Put("</a:tbl></a:graphicData></a:graphic></p:graphicFrame></p:spTree></p:cSld></p:sld>");
  ZipWriter zip;
  zip.Add(slide.Entry(SlideName(1)));
  return zip.Build();
}

// ---- Binary presentations ----

// A slide with one text atom of `atomBytes` letters, listed under `references` persist ids
// that all lead to it.
inline std::string AmplifiedPersistPpt(int references, uint32_t atomBytes) {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  const uint32_t slide = doc.Append(SlideContainer({ShapeWithText({TextHeaderAtom(4), TextBytesAtom(std::string(atomBytes, 'x'))})}));
  std::vector<std::string> list;
  for (int i = 0; i < references; ++i) {
    offsets[static_cast<uint32_t>(3 + i)] = slide;
    list.push_back(SlidePersistAtom(static_cast<uint32_t>(3 + i), static_cast<uint32_t>(256 + i)));
  }
  offsets[1] = doc.Append(Container(rt::kDocument, {Container(rt::kSlideListWithText, list, 0)}));
  doc.AppendSave(offsets, 1);
  return BuildCfb(PresentationStreams(doc));
}

// A slide whose one shape holds `pairs` texts of one letter, each with its header.
inline std::string TinyTextsPpt(int pairs) {
  std::string texts;
  const std::string pair = TextHeaderAtom(4) + TextBytesAtom("x");
  texts.reserve(pair.size() * static_cast<size_t>(pairs));
  for (int i = 0; i < pairs; ++i) texts += pair;
  PptStreamBuilder doc;
  const uint32_t slide = doc.Append(SlideContainer({ShapeWithText({texts})}));
  const uint32_t document = doc.Append(Container(rt::kDocument, {Container(rt::kSlideListWithText, {SlidePersistAtom(3)}, 0)}));
  doc.AppendSave({{1, document}, {3, slide}}, 1);
  return BuildCfb(PresentationStreams(doc));
}

// A table group of `edge` cells along its top edge and `edge` more down its left edge: as a
// grid that is edge x edge positions, so it is read one row per top edge, and padded to its
// widest row it would still be.
inline std::string SparseTablePpt(int edge) {
  const std::string groupShape =
      Container(rt::kSpContainer, {Atom(0xF009, std::string(16, '\0'), 0, 1), Atom(0xF00A, Le32(0) + Le32(0x201), 0, 2),
                                   Atom(0xF122, Le16(0x039F) + Le32(1), 1, 3)});
  auto cell = [](int32_t left, int32_t top, std::string_view text) {
    std::vector<std::string> records = {Atom(0xF00A, Le32(0) + Le32(0xA02), 1, 2),
                                        Atom(0xF00F, Le32(static_cast<uint32_t>(left)) + Le32(static_cast<uint32_t>(top)) +
                                                         Le32(static_cast<uint32_t>(left + 1)) + Le32(static_cast<uint32_t>(top + 1)))};
    if (!text.empty()) records.push_back(Container(rt::kClientTextbox, {TextHeaderAtom(4), TextBytesAtom(text)}));
    return Container(rt::kSpContainer, records);
  };
  std::string members = groupShape;
  for (int i = 0; i < edge; ++i) members += cell(i, 0, i == 0 ? "corner" : "");
  for (int i = 1; i <= edge; ++i) members += cell(0, i, "y");
  const std::string group = RecordHeader(0x0F, 0, rt::kSpgrContainer, static_cast<uint32_t>(members.size())) + members;
  PptStreamBuilder doc;
  const uint32_t slide = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({group})}));
  const uint32_t document = doc.Append(Container(rt::kDocument, {Container(rt::kSlideListWithText, {SlidePersistAtom(3)}, 0)}));
  doc.AppendSave({{1, document}, {3, slide}}, 1);
  return BuildCfb(PresentationStreams(doc));
}

}  // namespace dkscr::test::hostile
