#pragma once
// Relationship parts of an Open XML package: which part a part points to, and of what kind.
#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

struct OpcRelationship {
  std::string id;
  std::string type;    // the full type URI
  std::string target;  // the package part name it resolves to, without a leading "/"; an
                       // external target as written
  bool external = false;
};

// The relationships part of a part: "ppt/slides/slide1.xml" -> "ppt/slides/_rels/slide1.xml.rels";
// "" (the package itself) -> "_rels/.rels".
std::string RelationshipsPartName(std::string_view partName);
// The same into `name`, its storage reused.
void RelationshipsPartNameInto(std::string_view partName, std::string& name);

// Resolves a relative or absolute target against the part that holds the relationship.
// ".." never climbs above the package root.
std::string ResolvePartTarget(std::string_view sourcePart, std::string_view target);
void ResolvePartTargetInto(std::string_view sourcePart, std::string_view target, std::string& name);

// The internal relationships of a relationships part's XML, in document order; with
// `withExternal`, the external ones too (hyperlinks, linked files).
std::vector<OpcRelationship> ParseRelationships(std::string_view xml, std::string_view sourcePart,
                                                bool withExternal = false);
// The same into `relationships`, whose elements' storage is reused: one vector serves every
// slide of a long deck without allocating per relationship.
void ParseRelationshipsInto(std::string_view xml, std::string_view sourcePart, bool withExternal,
                            std::vector<OpcRelationship>& relationships);

// Whether the type URI ends in "/" + kind ("notesSlide", "chart", ...).
bool RelationshipIs(const OpcRelationship& relationship, std::string_view kind);

}  // namespace dkscr
