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
  // The name is built in place, its segments joined by "/": ".." drops the last one.
  std::string name;
  name.reserve(sourcePart.size() + target.size());
  const auto push = [&name](std::string_view segment) {
    if (!name.empty()) name.push_back('/');
    name.append(segment);
  };
  if (!target.starts_with('/')) {
    std::string_view folder = sourcePart;
    const size_t slash = folder.rfind('/');
    folder = slash == std::string_view::npos ? std::string_view() : folder.substr(0, slash);
    size_t at = 0;
    while (at < folder.size()) {
      size_t end = folder.find('/', at);
      if (end == std::string_view::npos) end = folder.size();
      if (end > at) push(folder.substr(at, end - at));
      at = end + 1;
    }
  }
  size_t at = 0;
  while (at <= target.size()) {
    size_t end = target.find('/', at);
    if (end == std::string_view::npos) end = target.size();
    const std::string_view segment = target.substr(at, end - at);
    if (segment == "..") {
      const size_t last = name.rfind('/');
      name.resize(last == std::string::npos ? 0 : last);
    } else if (!segment.empty() && segment != ".") {
      push(segment);
    }
    at = end + 1;
  }
  return name;
}

std::vector<OpcRelationship> ParseRelationships(std::string_view xml, std::string_view sourcePart,
                                                bool withExternal) {
  std::vector<OpcRelationship> relationships;
  XmlPullReader reader(xml);
  for (auto event = reader.Next(); event != XmlPullReader::Event::kEnd; event = reader.Next()) {
    if (event != XmlPullReader::Event::kStartElement || reader.LocalName() != "Relationship") continue;
    const bool external = reader.Attribute("TargetMode") == "External";
    if (external && !withExternal) continue;
    OpcRelationship relationship;
    relationship.id = reader.Attribute("Id");
    relationship.type = reader.Attribute("Type");
    // A target that is only a fragment ("#_ftn1") names a place, not a part: it stays as written.
    const std::string target = reader.Attribute("Target");
    relationship.target = external || target.starts_with('#') ? target : ResolvePartTarget(sourcePart, target);
    relationship.external = external;
    relationships.push_back(std::move(relationship));
  }
  return relationships;
}

bool RelationshipIs(const OpcRelationship& relationship, std::string_view kind) {
  const std::string_view type = relationship.type;
  return type.size() > kind.size() && type.ends_with(kind) && type[type.size() - kind.size() - 1] == '/';
}

}  // namespace dkscr
