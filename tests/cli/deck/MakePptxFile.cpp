// .pptx packages through the ZIP writer: content types, relationships, the presentation part,
// one slide part per slide and one notes part per notes page.
#include <utility>
#include <vector>

#include "Deck.h"
#include "platform/Utf.h"
#include "tests/support/ZipWriter.h"

namespace dkscr::test {
namespace {

constexpr char kXmlDecl[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
constexpr char kNamespaces[] =
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
    " xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"";
constexpr char kRelNs[] = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr char kRelBase[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr char kCtBase[] = "application/vnd.openxmlformats-officedocument.presentationml.";

std::string Escaped(std::u16string_view text) {
  std::string out;
  for (char c : WideToUtf8(text)) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string TextShape(int id, const char* name, const std::vector<std::u16string>& paragraphs) {
  std::string xml = "<p:sp><p:nvSpPr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"" +
                    name + "\"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr><p:spPr/><p:txBody>"
                    "<a:bodyPr/><a:lstStyle/>";
  for (const std::u16string& paragraph : paragraphs) {
    xml += "<a:p><a:r><a:rPr lang=\"en-US\" dirty=\"0\"/><a:t>" + Escaped(paragraph) +
           "</a:t></a:r></a:p>";
  }
  return xml + "</p:txBody></p:sp>";
}

std::string ShapeTree(const std::string& shapes) {
  return "<p:cSld><p:spTree><p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/>"
         "</p:nvGrpSpPr><p:grpSpPr/>" + shapes + "</p:spTree></p:cSld>";
}

std::string Relationship(const std::string& id, const std::string& type,
                         const std::string& target) {
  return "<Relationship Id=\"" + id + "\" Type=\"" + kRelBase + type + "\" Target=\"" + target +
         "\"/>";
}

}  // namespace

std::string MakePptxFile(const Deck& deck) {
  std::string types = std::string(kXmlDecl) +
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package."
      "relationships+xml\"/><Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/ppt/presentation.xml\" ContentType=\"" + kCtBase +
      "presentation.main+xml\"/>";
  std::string presentation = std::string(kXmlDecl) + "<p:presentation" + kNamespaces +
                             "><p:sldIdLst>";
  std::string presentationRels = std::string(kXmlDecl) + "<Relationships xmlns=\"" + kRelNs + "\">";

  std::vector<std::pair<std::string, std::string>> parts;  // slide and notes parts
  for (size_t i = 0; i < deck.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    const DeckSlide& slide = deck[i];
    std::vector<std::u16string> title(slide.paragraphs.begin(),
                                      slide.paragraphs.begin() + (slide.paragraphs.empty() ? 0 : 1));
    std::vector<std::u16string> body(slide.paragraphs.begin() + static_cast<long>(title.size()),
                                     slide.paragraphs.end());
    std::string shapes = TextShape(2, "Title 1", title);
    if (!body.empty()) shapes += TextShape(3, "Content 2", body);
    parts.emplace_back("ppt/slides/slide" + n + ".xml",
                       std::string(kXmlDecl) + "<p:sld" + kNamespaces + ">" + ShapeTree(shapes) + "</p:sld>");
    std::string slideRels = std::string(kXmlDecl) + "<Relationships xmlns=\"" + kRelNs + "\">";
    if (!slide.notes.empty()) {
      parts.emplace_back("ppt/notesSlides/notesSlide" + n + ".xml",
                         std::string(kXmlDecl) + "<p:notes" + kNamespaces + ">" +
                             ShapeTree(TextShape(2, "Notes 1", {slide.notes})) + "</p:notes>");
      slideRels += Relationship("rId1", "notesSlide", "../notesSlides/notesSlide" + n + ".xml");
      types += "<Override PartName=\"/ppt/notesSlides/notesSlide" + n + ".xml\" ContentType=\"" +
               kCtBase + "notesSlide+xml\"/>";
    }
    parts.emplace_back("ppt/slides/_rels/slide" + n + ".xml.rels", slideRels + "</Relationships>");
    types += "<Override PartName=\"/ppt/slides/slide" + n + ".xml\" ContentType=\"" + kCtBase +
             "slide+xml\"/>";
    presentation += "<p:sldId id=\"" + std::to_string(256 + i) + "\" r:id=\"rId" + n + "\"/>";
    presentationRels += Relationship("rId" + n, "slide", "slides/slide" + n + ".xml");
  }
  presentation += "</p:sldIdLst><p:sldSz cx=\"9144000\" cy=\"6858000\"/>"
                  "<p:notesSz cx=\"6858000\" cy=\"9144000\"/></p:presentation>";

  ZipWriter package;  // the package's own parts come first, as office programs write them
  package.Add("[Content_Types].xml", types + "</Types>");
  package.Add("_rels/.rels", std::string(kXmlDecl) + "<Relationships xmlns=\"" + kRelNs + "\">" +
                                 Relationship("rId1", "officeDocument", "ppt/presentation.xml") +
                                 "</Relationships>");
  package.Add("ppt/presentation.xml", presentation);
  package.Add("ppt/_rels/presentation.xml.rels", presentationRels + "</Relationships>");
  for (auto& [name, data] : parts) package.Add(std::move(name), std::move(data));
  return package.Build();
}

}  // namespace dkscr::test
