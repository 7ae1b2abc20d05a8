#pragma once
// A JSON Schema checker for tests, for the keywords docs/slides.schema.json uses (draft
// 2020-12): type, const, enum, properties, required, additionalProperties, items, minimum,
// maximum, pattern, oneOf and local "$ref"s ("#/$defs/name"). Any other keyword makes the check
// fail, so that the schema cannot quietly outgrow it. Header only.
#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/JsonValue.h"

namespace dkscr::test {

class JsonSchema {
 public:
  // The schema in the file, or none when it is no JSON.
  static std::optional<JsonSchema> Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::optional<JsonValue> root = JsonParser::Parse(text.str());
    if (!root) return std::nullopt;
    return JsonSchema(std::move(*root));
  }
  explicit JsonSchema(JsonValue root) : root_(std::move(root)) {}

  // The first violation, as a JSON pointer and what is wrong, or "" when the value is valid.
  std::string Check(const JsonValue& value) const { return Check(root_, value, ""); }

 private:
  static bool SameValue(const JsonValue& a, const JsonValue& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
      case JsonValue::Kind::kNull: return true;
      case JsonValue::Kind::kBool: return a.boolean == b.boolean;
      case JsonValue::Kind::kNumber: return a.number == b.number;
      case JsonValue::Kind::kString: return a.text == b.text;
      case JsonValue::Kind::kArray:
      case JsonValue::Kind::kObject:
        if (a.items.size() != b.items.size() || a.names != b.names) return false;
        for (size_t i = 0; i < a.items.size(); ++i) {
          if (!SameValue(a.items[i], b.items[i])) return false;
        }
        return true;
    }
    return false;
  }

  static bool HasType(const JsonValue& value, std::string_view type) {
    switch (value.kind) {
      case JsonValue::Kind::kNull: return type == "null";
      case JsonValue::Kind::kBool: return type == "boolean";
      case JsonValue::Kind::kNumber:
        return type == "number" || (type == "integer" && std::trunc(value.number) == value.number);
      case JsonValue::Kind::kString: return type == "string";
      case JsonValue::Kind::kArray: return type == "array";
      case JsonValue::Kind::kObject: return type == "object";
    }
    return false;
  }

  const JsonValue* Resolve(const std::string& ref) const {
    constexpr std::string_view kDefs = "#/$defs/";
    if (!std::string_view(ref).starts_with(kDefs)) return nullptr;
    const JsonValue& target = root_["$defs"][ref.substr(kDefs.size())];
    return target.kind == JsonValue::Kind::kObject ? &target : nullptr;
  }

  std::string Check(const JsonValue& schema, const JsonValue& value, const std::string& at) const {
    for (size_t k = 0; k < schema.names.size(); ++k) {
      const std::string& keyword = schema.names[k];
      const JsonValue& rule = schema.items[k];
      std::string error;
      if (keyword == "$schema" || keyword == "$id" || keyword == "$defs" || keyword == "title" ||
          keyword == "description") {
        continue;
      } else if (keyword == "$ref") {
        const JsonValue* target = Resolve(rule.text);
        error = target == nullptr ? "unknown reference " + rule.text : Check(*target, value, at);
      } else if (keyword == "type") {
        bool any = false;
        if (rule.kind == JsonValue::Kind::kString) any = HasType(value, rule.text);
        for (const JsonValue& type : rule.items) any |= HasType(value, type.text);
        if (!any) error = at + ": wrong type";
      } else if (keyword == "const") {
        if (!SameValue(rule, value)) error = at + ": not the constant";
      } else if (keyword == "enum") {
        bool any = false;
        for (const JsonValue& item : rule.items) any |= SameValue(item, value);
        if (!any) error = at + ": not in the enumeration";
      } else if (keyword == "minimum" || keyword == "maximum") {
        if (value.kind == JsonValue::Kind::kNumber &&
            (keyword == "minimum" ? value.number < rule.number : value.number > rule.number)) {
          error = at + ": out of range";
        }
      } else if (keyword == "pattern") {
        if (value.kind == JsonValue::Kind::kString && !std::regex_search(value.text, std::regex(rule.text))) {
          error = at + ": does not match " + rule.text;
        }
      } else if (keyword == "required") {
        if (value.kind == JsonValue::Kind::kObject) {
          for (const JsonValue& name : rule.items) {
            if (!Has(value, name.text)) error = at + ": lacks " + name.text;
          }
        }
      } else if (keyword == "properties" || keyword == "additionalProperties") {
        // Both are checked together, once.
        const bool once = keyword == "properties" || !Has(schema, "properties");
        if (once && value.kind == JsonValue::Kind::kObject) error = CheckMembers(schema, value, at);
      } else if (keyword == "items") {
        if (value.kind == JsonValue::Kind::kArray) {
          for (size_t i = 0; i < value.items.size() && error.empty(); ++i) {
            error = Check(rule, value.items[i], at + "/" + std::to_string(i));
          }
        }
      } else if (keyword == "oneOf") {
        int matches = 0;
        std::string first;
        for (const JsonValue& option : rule.items) {
          const std::string why = Check(option, value, at);
          if (why.empty()) ++matches;
          if (first.empty()) first = why;
        }
        if (matches != 1) error = at + ": matches " + std::to_string(matches) + " of oneOf (" + first + ")";
      } else {
        error = "keyword " + keyword + " is not supported here";
      }
      if (!error.empty()) return error;
    }
    return "";
  }

  static bool Has(const JsonValue& object, const std::string& name) {
    for (const std::string& member : object.names) {
      if (member == name) return true;
    }
    return false;
  }

  std::string CheckMembers(const JsonValue& schema, const JsonValue& value, const std::string& at) const {
    const JsonValue& properties = schema["properties"];
    const JsonValue& additional = schema["additionalProperties"];
    for (size_t i = 0; i < value.names.size(); ++i) {
      const std::string where = at + "/" + value.names[i];
      std::string error;
      if (Has(properties, value.names[i])) {
        error = Check(properties[value.names[i]], value.items[i], where);
      } else if (additional.kind == JsonValue::Kind::kBool && !additional.boolean) {
        error = where + ": not allowed";
      } else if (additional.kind == JsonValue::Kind::kObject) {
        error = Check(additional, value.items[i], where);
      }
      if (!error.empty()) return error;
    }
    return "";
  }

  JsonValue root_;
};

#ifdef DKSCR_SLIDES_SCHEMA
// What is wrong with a JSON text by docs/slides.schema.json, "" when nothing.
inline std::string SlidesSchemaProblem(std::string_view json) {
  static const std::optional<JsonSchema> schema = JsonSchema::Load(DKSCR_SLIDES_SCHEMA);
  if (!schema) return "the schema cannot be read";
  const std::optional<JsonValue> value = JsonParser::Parse(json);
  if (!value) return "no JSON";
  return schema->Check(*value);
}
#endif

}  // namespace dkscr::test
