#include "ppt/ShapeProperties.h"

#include "platform/LittleEndian.h"
#include "platform/Utf.h"

namespace dkscr {
namespace {

constexpr size_t kPropertySize = 6;
constexpr uint16_t kIdMask = 0x3FFF;
constexpr uint16_t kComplex = 0x8000;
constexpr uint16_t kPictureBlip = 0x0104;
constexpr uint16_t kShapeName = 0x0380;
constexpr uint16_t kShapeDescription = 0x0381;

// A complex string value: UTF-16 up to its NUL or its end; none when empty.
std::optional<std::string> StringValue(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const auto c = static_cast<char16_t>(LoadLe16(data + i));
    if (c == 0) break;
    text.push_back(c);
  }
  if (text.empty()) return std::nullopt;
  return WideToUtf8(text);
}

}  // namespace

void ReadShapeLabels(const uint8_t* data, size_t size, uint16_t count, ShapeLabels& labels) {
  const size_t table = static_cast<size_t>(count) * kPropertySize;
  if (table > size) return;
  size_t complexAt = table;  // where the next complex value starts
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* property = data + i * kPropertySize;
    const uint16_t opid = LoadLe16(property);
    const uint16_t id = opid & kIdMask;
    const uint32_t value = LoadLe32(property + 2);
    if ((opid & kComplex) == 0) {
      if (id == kPictureBlip && value != 0) labels.picture = true;
      continue;
    }
    const size_t length = value <= size - complexAt ? value : size - complexAt;
    if (id == kShapeName) labels.name = StringValue(data + complexAt, length);
    if (id == kShapeDescription) labels.description = StringValue(data + complexAt, length);
    complexAt += length;
  }
}

}  // namespace dkscr
