#include "pptx/OpcRelationships.h"

#include "xml/XmlPullReader.h"

namespace dkscr {

std::string RelationshipsPartName(std::string_view partName) {
  const size_t slash = partName.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? std::string_view() : partName.substr(0, slash + 1);
  const std::string_view file = slash == std::string_view::npos ? partName : partName.substr(slash + 1);
  return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

std::string ResolvePartTarget(std::string_view sourcePart, std::string_view target) {
  std::vector<std::string_view> segments;
  if (!target.starts_with('/')) {
    std::string_view folder = sourcePart;
    const size_t slash = folder.rfind('/');
    folder = slash == std::string_view::npos ? std::string_view() : folder.substr(0, slash);
    size_t at = 0;
    while (at < folder.size()) {
      size_t end = folder.find('/', at);
      if (end == std::string_view::npos) end = folder.size();
      if (end > at) segments.push_back(folder.substr(at, end - at));
      at = end + 1;
    }
  }
  size_t at = 0;
  while (at <= target.size()) {
    size_t end = target.find('/', at);
    if (end == std::string_view::npos) end = target.size();
    const std::string_view segment = target.substr(at, end - at);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    at = end + 1;
  }
  std::string name;
  for (std::string_view segment : segments) {
    if (!name.empty()) name.push_back('/');
    name.append(segment);
  }
  return name;
}

std::vector<OpcRelationship> ParseRelationships(std::string_view xml, std::string_view sourcePart) {
  std::vector<OpcRelationship> relationships;
  XmlPullReader reader(xml);
  for (auto event = reader.Next(); event != XmlPullReader::Event::kEnd; event = reader.Next()) {
    if (event != XmlPullReader::Event::kStartElement || reader.LocalName() != "Relationship") continue;
    if (reader.Attribute("TargetMode") == "External") continue;
    OpcRelationship relationship;
    relationship.id = reader.Attribute("Id");
    relationship.type = reader.Attribute("Type");
    relationship.target = ResolvePartTarget(sourcePart, reader.Attribute("Target"));
    relationships.push_back(std::move(relationship));
  }
  return relationships;
}

bool RelationshipIs(const OpcRelationship& relationship, std::string_view kind) {
  const std::string_view type = relationship.type;
  return type.size() > kind.size() && type.ends_with(kind) && type[type.size() - kind.size() - 1] == '/';
}

}  // namespace dkscr
