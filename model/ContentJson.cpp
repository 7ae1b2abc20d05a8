#include "model/ContentJson.h"

#include <charconv>
#include <cmath>
#include <unordered_set>

#include "model/JsonWriter.h"

namespace dkscr {
namespace {

std::string_view BlockTypeName(BlockType type) {
  switch (type) {
    case BlockType::kText: return "text";
    case BlockType::kTable: return "table";
    case BlockType::kPicture: return "picture";
    case BlockType::kChart: return "chart";
    case BlockType::kDiagram: return "diagram";
    case BlockType::kMedia: return "media";
    case BlockType::kOle: return "ole";
  }
  return "text";
}

// ,"name":value for a member after the first.
void AppendMember(std::string_view name, const std::optional<std::string>& value, FormText& out) {
  // The name with its value at the least it can take, counted at once (most values are none).
  out.Expect(name.size() + 4 + (value ? value->size() + 2 : 4));
  std::string& to = out.Out();
  to += std::string_view(",\"");
  to += name;
  to += std::string_view("\":");
  if (!value) {
    to += std::string_view("null");
    return;
  }
  AppendJsonString(to, *value);
  out.Check();
}

// An id as a JSON number, or null.
void AppendOptionalId(const std::optional<uint32_t>& id, FormText& out) {
  char digits[16];
  const char* const end = id ? std::to_chars(digits, digits + sizeof digits, *id).ptr : digits;
  out += id ? std::string_view(digits, static_cast<size_t>(end - digits)) : std::string_view("null");
}

void AppendParagraphs(const std::vector<TextParagraph>& paragraphs, FormText& out) {
  out += ",\"paragraphs\":[";
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    const TextParagraph& paragraph = paragraphs[i];
    const std::string_view open = i > 0 ? std::string_view(",{\"text\":") : std::string_view("{\"text\":");
    char level[16];
    const char* const levelEnd = std::to_chars(level, level + sizeof level, paragraph.level).ptr;
    const std::string_view levelText(level, static_cast<size_t>(levelEnd - level));
    constexpr std::string_view kLevel = ",\"level\":";
    constexpr std::string_view kPlainEnd = ",\"bullet\":null,\"links\":[]}";
    // Most paragraphs have neither bullet nor link: the whole paragraph is counted at once
    // (its text at the least it can take, what escaping adds checked after).
    const bool plain = !paragraph.bullet && paragraph.links.empty();
    out.Expect(open.size() + paragraph.text.size() + 2 + kLevel.size() + levelText.size() +
               (plain ? kPlainEnd.size() : 0));
    std::string& to = out.Out();
    to += open;
    AppendJsonString(to, paragraph.text);
    to += kLevel;
    to += levelText;
    if (plain) {
      to += kPlainEnd;
      out.Check();
      continue;
    }
    out.Check();
    AppendMember("bullet", paragraph.bullet, out);
    out += ",\"links\":[";
    for (size_t l = 0; l < paragraph.links.size(); ++l) {
      if (l > 0) out.push_back(',');
      out += "{\"text\":";
      AppendJsonString(out, paragraph.links[l].text);
      out += ",\"target\":";
      AppendJsonString(out, paragraph.links[l].target);
      out.push_back('}');
    }
    out += "]}";
  }
  out.push_back(']');
}

void AppendRows(const std::vector<std::vector<TableCell>>& rows, FormText& out) {
  out += ",\"rows\":[";
  for (size_t r = 0; r < rows.size(); ++r) {
    if (r > 0) out.push_back(',');
    out.push_back('[');
    for (size_t c = 0; c < rows[r].size(); ++c) {
      const TableCell& cell = rows[r][c];
      if (c > 0) out.push_back(',');
      out += "{\"text\":";
      AppendJsonString(out, cell.text);
      out += ",\"row_span\":" + std::to_string(cell.rowSpan) + ",\"col_span\":" + std::to_string(cell.colSpan) + "}";
    }
    out.push_back(']');
  }
  out.push_back(']');
}

void AppendSeries(const std::vector<ChartSeries>& series, FormText& out) {
  out += ",\"series\":[";
  for (size_t s = 0; s < series.size(); ++s) {
    if (s > 0) out.push_back(',');
    out += "{\"name\":";
    AppendJsonOptional(series[s].name, out);
    out += ",\"categories\":";
    AppendJsonStrings(series[s].categories, out);
    out += ",\"values\":[";
    for (size_t v = 0; v < series[s].values.size(); ++v) {
      if (v > 0) out.push_back(',');
      if (series[s].values[v]) {
        AppendJsonNumber(*series[s].values[v], out);
      } else {
        out += "null";
      }
    }
    out += "]}";
  }
  out.push_back(']');
}

void AppendBlock(const SlideBlock& block, FormText& out) {
  const std::string_view type = BlockTypeName(block.type);
  out.Expect(type.size() + 22);
  std::string& to = out.Out();
  to += std::string_view("{\"type\":\"");
  to += type;
  to += std::string_view("\",\"shape_id\":");
  AppendOptionalId(block.shapeId, out);
  AppendMember("name", block.name, out);
  switch (block.type) {
    case BlockType::kText:
      AppendMember("placeholder", block.placeholder, out);
      AppendParagraphs(block.paragraphs, out);
      break;
    case BlockType::kTable:
      AppendRows(block.rows, out);
      break;
    case BlockType::kPicture:
      AppendMember("alt", block.alt, out);
      AppendMember("title", block.title, out);
      AppendMember("image", block.image, out);
      break;
    case BlockType::kChart:
      AppendMember("chart_type", block.chartType, out);
      AppendMember("title", block.title, out);
      AppendSeries(block.series, out);
      break;
    case BlockType::kDiagram:
      out += ",\"items\":[";
      for (size_t i = 0; i < block.items.size(); ++i) {
        if (i > 0) out.push_back(',');
        out += "{\"text\":";
        AppendJsonString(out, block.items[i].text);
        out += ",\"level\":" + std::to_string(block.items[i].level) + "}";
      }
      out.push_back(']');
      break;
    case BlockType::kMedia:
      AppendMember("media_type", block.mediaType, out);
      AppendMember("target", block.target, out);
      break;
    case BlockType::kOle:
      AppendMember("prog_id", block.progId, out);
      AppendMember("target", block.target, out);
      break;
  }
  out.push_back('}');
}

void AppendPropertyValue(const PropertyValue& value, FormText& out) {
  switch (value.kind) {
    case PropertyValue::Kind::kNumber: AppendJsonNumber(value.number, out); return;
    case PropertyValue::Kind::kBool: out += value.flag ? "true" : "false"; return;
    case PropertyValue::Kind::kText:
    case PropertyValue::Kind::kDate: AppendJsonString(out, value.text); return;
  }
}

}  // namespace

void AppendJsonNumber(double value, std::string& out) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char digits[32];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  if (error != std::errc()) {
    out += "null";
    return;
  }
  out.append(digits, end);
}

void AppendJsonNumber(double value, FormText& out) {
  std::string number;
  AppendJsonNumber(value, number);
  out += number;
}

void AppendJsonStrings(const std::vector<std::string>& texts, FormText& out) {
  out.push_back('[');
  for (size_t i = 0; i < texts.size(); ++i) {
    // The comma and the text at the least it can take, what escaping adds checked after.
    out.Expect((i > 0 ? 1 : 0) + texts[i].size() + 2);
    std::string& to = out.Out();
    if (i > 0) to.push_back(',');
    AppendJsonString(to, texts[i]);
    out.Check();
  }
  out.push_back(']');
}

void AppendJsonOptional(const std::optional<std::string>& text, FormText& out) {
  if (text) {
    AppendJsonString(out, *text);
  } else {
    out += "null";
  }
}

void AppendSlideContentJson(const Slide& slide, FormText& out) {
  out += std::string_view(",\"id\":");
  AppendOptionalId(slide.id, out);
  AppendMember("section", slide.section, out);
  AppendMember("layout", slide.layout, out);
  out += std::string_view(",\"blocks\":[");
  for (size_t i = 0; i < slide.blocks.size(); ++i) {
    if (i > 0) out.push_back(',');
    AppendBlock(slide.blocks[i], out);
  }
  out += std::string_view("],\"links\":");
  AppendJsonStrings(slide.links, out);
}

void AppendMetadataJson(const DocumentMetadata& metadata, FormText& out) {
  // The names as JSON writes them, with their colons.
  const std::pair<std::string_view, const std::optional<std::string>*> fields[] = {
      {"\"title\":", &metadata.title},
      {"\"subject\":", &metadata.subject},
      {"\"author\":", &metadata.author},
      {"\"keywords\":", &metadata.keywords},
      {"\"description\":", &metadata.description},
      {"\"last_modified_by\":", &metadata.lastModifiedBy},
      {"\"revision\":", &metadata.revision},
      {"\"created\":", &metadata.created},
      {"\"modified\":", &metadata.modified},
      {"\"category\":", &metadata.category},
      {"\"company\":", &metadata.company},
      {"\"application\":", &metadata.application},
  };
  out.push_back('{');
  bool first = true;
  for (const auto& [name, value] : fields) {
    if (!*value) continue;
    if (!first) out.push_back(',');
    first = false;
    out += name;
    AppendJsonString(out, **value);
  }
  if (!metadata.custom.empty()) {
    if (!first) out.push_back(',');
    out += "\"custom\":{";
    // A name the file gives twice keeps its first value: JSON objects have unique names.
    std::unordered_set<std::string_view> written;
    for (const auto& [name, value] : metadata.custom) {
      if (!written.insert(name).second) continue;
      if (written.size() > 1) out.push_back(',');
      AppendJsonString(out, name);
      out.push_back(':');
      AppendPropertyValue(value, out);
    }
    out.push_back('}');
  }
  out.push_back('}');
}

void AppendSectionsJson(const SlideDeck& deck, FormText& out) {
  out.push_back('[');
  for (size_t i = 0; i < deck.sections.size(); ++i) {
    if (i > 0) out.push_back(',');
    out += "{\"name\":";
    AppendJsonString(out, deck.sections[i].name);
    out += ",\"slides\":[";
    for (size_t s = 0; s < deck.sections[i].slides.size(); ++s) {
      if (s > 0) out.push_back(',');
      out += std::to_string(deck.sections[i].slides[s]);
    }
    out += "]}";
  }
  out.push_back(']');
}

}  // namespace dkscr
