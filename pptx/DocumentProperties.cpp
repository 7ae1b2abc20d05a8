#include "pptx/DocumentProperties.h"

#include <charconv>

#include "model/Timestamps.h"
#include "xml/MarkupWalker.h"

namespace dkscr {
namespace {

using Event = MarkupWalker::Event;

// Calls take(local name, text) for every element that is a child of the part's root, with
// its text; `depth` 3 gives the grandchildren instead, with their parent's attribute `name`.
template <typename Take>
void ForEachProperty(std::string_view xml, size_t depth, Take take) {
  MarkupWalker walker(xml);
  std::string text;
  std::string name;   // the open element's
  std::string owner;  // its parent's "name" attribute
  bool open = false;
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    if (event == Event::kStartElement) {
      if (walker.Depth() == depth - 1) owner = walker.Reader().Attribute("name");
      if (walker.Depth() == depth) {
        open = true;
        name = walker.Local();
        text.clear();
      }
    } else if (event == Event::kText && open) {
      text += walker.Reader().Text();
    } else if (event == Event::kEndElement && open && walker.Depth() < depth) {
      open = false;
      take(name, owner, text);
    }
  }
}

std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\r' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return std::string(text);
}

// A date as the model holds it, or the text as written when it is none.
std::string DateText(const std::string& text) {
  const std::optional<int64_t> seconds = ParseXmlDateTime(text);
  return seconds ? UtcTimestamp(*seconds) : Trimmed(text);
}

PropertyValue ValueOf(std::string_view type, const std::string& text) {
  PropertyValue value;
  value.text = text;
  static constexpr std::string_view kNumbers[] = {"i1", "i2", "i4", "i8", "int", "ui1", "ui2", "ui4",
                                                  "ui8", "uint", "r4", "r8", "decimal"};
  for (const std::string_view number : kNumbers) {
    if (type != number) continue;
    const std::string trimmed = Trimmed(text);
    double parsed = 0;
    const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), parsed);
    if (!trimmed.empty() && error == std::errc() && end == trimmed.data() + trimmed.size()) {
      value.kind = PropertyValue::Kind::kNumber;
      value.number = parsed;
    }
    return value;
  }
  if (type == "bool") {
    const std::string trimmed = Trimmed(text);
    value.kind = PropertyValue::Kind::kBool;
    value.flag = trimmed == "true" || trimmed == "1";
  } else if (type == "filetime" || type == "date") {
    value.kind = PropertyValue::Kind::kDate;
    value.text = DateText(text);
  }
  return value;
}

void Set(std::optional<std::string>& field, const std::string& text) {
  if (!text.empty() && !field) field = text;
}

}  // namespace

void ReadCoreProperties(std::string_view xml, DocumentMetadata& metadata) {
  ForEachProperty(xml, 2, [&](std::string_view name, const std::string&, const std::string& text) {
    if (name == "title") Set(metadata.title, text);
    if (name == "subject") Set(metadata.subject, text);
    if (name == "creator") Set(metadata.author, text);
    if (name == "keywords") Set(metadata.keywords, text);
    if (name == "description") Set(metadata.description, text);
    if (name == "lastModifiedBy") Set(metadata.lastModifiedBy, text);
    if (name == "revision") Set(metadata.revision, text);
    if (name == "category") Set(metadata.category, text);
    if (name == "created" && !Trimmed(text).empty()) Set(metadata.created, DateText(text));
    if (name == "modified" && !Trimmed(text).empty()) Set(metadata.modified, DateText(text));
  });
}

void ReadExtendedProperties(std::string_view xml, DocumentMetadata& metadata) {
  ForEachProperty(xml, 2, [&](std::string_view name, const std::string&, const std::string& text) {
    if (name == "Company") Set(metadata.company, text);
    if (name == "Application") Set(metadata.application, text);
  });
}

void ReadCustomProperties(std::string_view xml, DocumentMetadata& metadata) {
  ForEachProperty(xml, 3, [&](std::string_view type, const std::string& name, const std::string& text) {
    if (!name.empty()) metadata.custom.emplace_back(name, ValueOf(type, text));
  });
}

}  // namespace dkscr
