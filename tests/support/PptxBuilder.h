#pragma once
// Test-side pieces of Open XML presentations: relationships, shapes with their paragraphs,
// slide parts. Packages are put together with ZipWriter.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dkscr::test {

inline constexpr std::string_view kNs =
    R"( xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main")"
    R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")"
    R"( xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main")";
inline constexpr std::string_view kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

inline std::string Rels(const std::vector<std::pair<std::string, std::string>>& typeAndTarget) {
  std::string xml = R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
  int id = 1;
  for (const auto& [type, target] : typeAndTarget) {
    xml += "<Relationship Id=\"rId" + std::to_string(id++) + "\" Type=\"" + std::string(kRel) + type +
           "\" Target=\"" + target + "\"/>";
  }
  return xml + "</Relationships>";
}

inline std::string Shape(std::string_view placeholder, std::string_view paragraphs) {
  std::string nv = "<p:nvSpPr><p:cNvPr id=\"2\" name=\"s\"/><p:cNvSpPr/><p:nvPr>";
  if (!placeholder.empty()) nv += "<p:ph type=\"" + std::string(placeholder) + "\"/>";
  nv += "</p:nvPr></p:nvSpPr>";
  return "<p:sp>" + nv + "<p:txBody><a:bodyPr/>" + std::string(paragraphs) + "</p:txBody></p:sp>";
}

inline std::string Para(std::string_view text) { return "<a:p><a:r><a:t>" + std::string(text) + "</a:t></a:r></a:p>"; }

inline std::string SlideXml(std::string_view shapes, std::string_view rootAttributes = "") {
  return "<?xml version=\"1.0\"?><p:sld" + std::string(kNs) + std::string(rootAttributes) +
         "><p:cSld><p:spTree><p:nvGrpSpPr/><p:grpSpPr/>" + std::string(shapes) +
         "</p:spTree></p:cSld><p:timing><a:p><a:r><a:t>not slide text</a:t></a:r></a:p></p:timing></p:sld>";
}

inline std::string NotesXml(std::string_view shapes) {
  return "<?xml version=\"1.0\"?><p:notes" + std::string(kNs) + "><p:cSld><p:spTree>" + std::string(shapes) +
         "</p:spTree></p:cSld></p:notes>";
}

}  // namespace dkscr::test
