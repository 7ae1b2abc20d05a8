#include "pptx/OpcRelationships.h"

#include "xml/XmlPullReader.h"

namespace dkscr {
namespace {

// A relationship's fields as its attributes give them, its target resolved against the part
// that holds it. A target that is only a fragment ("#_ftn1") names a place, not a part: it
// stays as written, as an external one does.
void SetRelationship(OpcRelationship& relationship, std::string_view id, std::string_view type,
                     std::string_view target, bool external, std::string_view sourcePart) {
  relationship.id.assign(id);
  relationship.type.assign(type);
  if (external || target.starts_with('#')) {
    relationship.target.assign(target);
  } else {
    ResolvePartTargetInto(sourcePart, target, relationship.target);
  }
  relationship.external = external;
}

// The relationships a package writer produces: an optional declaration, one root element,
// and in it only empty "Relationship" elements whose attribute values hold no reference, no
// markup character, no control and no non-ASCII byte. Such a part is read here by a plain
// scan, without the general reader's set-up; anything else the scan declines, and the
// general reader reads it.
class PlainRelationshipsScan {
 public:
  explicit PlainRelationshipsScan(std::string_view xml) : xml_(xml) {}

  // Fills `out` from its first element on; false (and `out` in no useful state) when the part
  // is not of the plain shape.
  bool Read(std::string_view sourcePart, bool withExternal, std::vector<OpcRelationship>& out) {
    size_t count = 0;
    SkipSpace();
    if (Take("<?xml")) {
      const size_t end = xml_.find("?>", at_);
      if (end == std::string_view::npos || xml_.substr(at_, end - at_).find_first_of("<>") != std::string_view::npos) {
        return false;
      }
      at_ = end + 2;
      SkipSpace();
    }
    if (!Take("<")) return false;
    const std::string_view root = Name();
    if (root.empty() || XmlLocalName(root) == "Relationship" || !Attributes(nullptr)) return false;
    const bool empty = Take("/>");
    if (!empty && !Take(">")) return false;
    for (;;) {
      SkipSpace();
      if (empty || Take("</")) {
        if (!empty && (Name() != root || !Take(">"))) return false;
        SkipSpace();
        if (at_ != xml_.size()) return false;
        out.resize(count);
        return true;
      }
      if (!Take("<") || Name() != "Relationship") return false;
      Fields fields;
      if (!Attributes(&fields) || !Take("/>")) return false;
      const bool external = fields.values[kTargetMode] == "External";
      if (external && !withExternal) continue;
      if (count == out.size()) out.emplace_back();
      SetRelationship(out[count++], fields.values[kId], fields.values[kType], fields.values[kTarget], external,
                      sourcePart);
    }
  }

 private:
  enum Field { kId, kType, kTarget, kTargetMode, kFieldCount };
  struct Fields {
    std::string_view values[kFieldCount];
    bool seen[kFieldCount] = {};
  };

  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
  static bool IsNameChar(char c) {
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == ':' || c == '.' || c == '-';
  }

  // Whether a value holds no reference, markup character, control or non-ASCII byte; every
  // byte is looked at, without a branch, so that the loop runs on whole vectors.
  static bool PlainValue(std::string_view value) {
    unsigned bad = 0;
    for (const char b : value) {
      const auto c = static_cast<unsigned char>(b);
      bad |= static_cast<unsigned>(c < 0x20) | static_cast<unsigned>(c >= 0x80) | static_cast<unsigned>(c == '<') |
             static_cast<unsigned>(c == '>') | static_cast<unsigned>(c == '&');
    }
    return bad == 0;
  }

  void SkipSpace() {
    while (at_ < xml_.size() && IsSpace(xml_[at_])) ++at_;
  }
  bool Take(std::string_view text) {
    if (!xml_.substr(at_).starts_with(text)) return false;
    at_ += text.size();
    return true;
  }
  std::string_view Name() {
    const size_t start = at_;
    if (at_ >= xml_.size() || !IsLetter(xml_[at_])) return {};
    while (at_ < xml_.size() && IsNameChar(xml_[at_])) ++at_;
    return xml_.substr(start, at_ - start);
  }

  // The attributes of a start tag up to its end, each after spaces (no other white space in a
  // tag, none around "="); with `fields`, the four a relationship has (a repeated one declines).
  bool Attributes(Fields* fields) {
    for (;;) {
      const size_t before = at_;
      while (at_ < xml_.size() && xml_[at_] == ' ') ++at_;
      if (at_ < xml_.size() && (xml_[at_] == '>' || xml_[at_] == '/')) return true;
      if (at_ == before) return false;
      const std::string_view name = Name();
      if (name.empty() || !Take("=")) return false;
      if (at_ >= xml_.size() || (xml_[at_] != '"' && xml_[at_] != '\'')) return false;
      const char quote = xml_[at_++];
      const size_t start = at_;
      at_ = xml_.find(quote, start);
      if (at_ == std::string_view::npos) return false;
      const std::string_view value = xml_.substr(start, at_ - start);
      ++at_;
      if (!PlainValue(value)) return false;
      if (fields == nullptr) continue;
      int field = kFieldCount;
      if (name == "Id") field = kId;
      if (name == "Type") field = kType;
      if (name == "Target") field = kTarget;
      if (name == "TargetMode") field = kTargetMode;
      if (field == kFieldCount) continue;
      if (fields->seen[field]) return false;
      fields->seen[field] = true;
      fields->values[field] = value;
    }
  }

  std::string_view xml_;
  size_t at_ = 0;
};

}  // namespace

std::string RelationshipsPartName(std::string_view partName) {
  std::string name;
  RelationshipsPartNameInto(partName, name);
  return name;
}

void RelationshipsPartNameInto(std::string_view partName, std::string& name) {
  const size_t slash = partName.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? std::string_view() : partName.substr(0, slash + 1);
  const std::string_view file = slash == std::string_view::npos ? partName : partName.substr(slash + 1);
  name.assign(folder).append("_rels/").append(file).append(".rels");
}

std::string ResolvePartTarget(std::string_view sourcePart, std::string_view target) {
  std::string name;
  ResolvePartTargetInto(sourcePart, target, name);
  return name;
}

void ResolvePartTargetInto(std::string_view sourcePart, std::string_view target, std::string& name) {
  // The name is built in place, its segments joined by "/": ".." drops the last one.
  name.clear();
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
}

std::vector<OpcRelationship> ParseRelationships(std::string_view xml, std::string_view sourcePart,
                                                bool withExternal) {
  std::vector<OpcRelationship> relationships;
  ParseRelationshipsInto(xml, sourcePart, withExternal, relationships);
  return relationships;
}

void ParseRelationshipsInto(std::string_view xml, std::string_view sourcePart, bool withExternal,
                            std::vector<OpcRelationship>& out) {
  if (PlainRelationshipsScan(xml).Read(sourcePart, withExternal, out)) return;
  std::vector<OpcRelationship> relationships;
  XmlPullReader reader(xml);
  for (auto event = reader.Next(); event != XmlPullReader::Event::kEnd; event = reader.Next()) {
    if (event != XmlPullReader::Event::kStartElement || reader.LocalName() != "Relationship") continue;
    const bool external = reader.Attribute("TargetMode") == "External";
    if (external && !withExternal) continue;
    SetRelationship(relationships.emplace_back(), reader.Attribute("Id"), reader.Attribute("Type"),
                    reader.Attribute("Target"), external, sourcePart);
  }
  out = std::move(relationships);
}

bool RelationshipIs(const OpcRelationship& relationship, std::string_view kind) {
  const std::string_view type = relationship.type;
  return type.size() > kind.size() && type.ends_with(kind) && type[type.size() - kind.size() - 1] == '/';
}

}  // namespace dkscr
