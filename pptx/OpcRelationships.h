#pragma once
// Relationship parts of an Open XML package: which part a part points to, and of what kind.
#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

struct OpcRelationship {
  std::string id;
  std::string type;    // the full type URI
  std::string target;  // the package part name it resolves to, without a leading "/"
};

// The relationships part of a part: "ppt/slides/slide1.xml" -> "ppt/slides/_rels/slide1.xml.rels";
// "" (the package itself) -> "_rels/.rels".
std::string RelationshipsPartName(std::string_view partName);

// Resolves a relative or absolute target against the part that holds the relationship.
// ".." never climbs above the package root.
std::string ResolvePartTarget(std::string_view sourcePart, std::string_view target);

// The internal relationships of a relationships part's XML, in document order.
std::vector<OpcRelationship> ParseRelationships(std::string_view xml, std::string_view sourcePart);

// Whether the type URI ends in "/" + kind ("notesSlide", "chart", ...).
bool RelationshipIs(const OpcRelationship& relationship, std::string_view kind);

}  // namespace dkscr
