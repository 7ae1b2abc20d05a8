#pragma once
// What a shape's property table says of it beyond its looks: its name, the description a
// screen reader reads, and whether it shows a picture.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace dkscr {

struct ShapeLabels {
  std::optional<std::string> name;
  std::optional<std::string> description;
  bool picture = false;  // it names a picture to show
};

// Reads the data of an OfficeArtFOPT or OfficeArtTertiaryFOPT holding `count` properties (the
// table, then the complex values in the table's order) into `labels`; what it does not hold
// leaves the labels as they are.
void ReadShapeLabels(const uint8_t* data, size_t size, uint16_t count, ShapeLabels& labels);

}  // namespace dkscr
