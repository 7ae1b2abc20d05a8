#pragma once
// Groups of shapes in a binary presentation's drawing that stand for more than a group: a
// table (its cells are rectangles, laid out by where they stand) or a diagram of the older
// diagram gallery (organization chart, cycle, pyramid ...). Both are marked by properties of
// the group's own shape.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace dkscr {

namespace officeart {
inline constexpr uint16_t kSpgrContainer = 0xF003;
inline constexpr uint16_t kSpContainer = 0xF004;
inline constexpr uint16_t kFsp = 0xF00A;             // recInstance: the shape type
inline constexpr uint16_t kFopt = 0xF00B;            // recInstance: the number of properties
inline constexpr uint16_t kChildAnchor = 0xF00F;     // place of a shape inside a group
inline constexpr uint16_t kClientAnchor = 0xF010;    // place of a shape on the slide
inline constexpr uint16_t kTertiaryFopt = 0xF122;
inline constexpr uint16_t kLineShapeType = 20;       // a table's borders are lines
}  // namespace officeart

enum class GroupKind { kPlain, kTable, kDiagram };

// What the property table of a group's own shape (the data of an OfficeArtFOPT or
// OfficeArtTertiaryFOPT holding `count` properties) makes of the group: a table when its
// table flags say so, a diagram when it names a diagram type.
GroupKind GroupKindOfProperties(const uint8_t* data, size_t size, uint16_t count);

// Where a shape starts: its top and left edges.
struct ShapePlace {
  int32_t top = 0;
  int32_t left = 0;
};

// The place of a shape from the data of its child anchor (four 32-bit edges: left, top, right,
// bottom) or client anchor (top, left, right, bottom, as 16-bit or 32-bit values); false for
// data of any other size.
bool ShapePlaceOfAnchor(uint16_t recType, const uint8_t* data, size_t size, ShapePlace& place);

// The cells of a table in rows and columns: rows start at the distinct top edges, columns at
// the distinct left edges, and each cell sits where its top and left edges meet. A cell
// spanning several rows or columns leaves the positions it covers empty. Each position holds
// the indexes of the cells found there (one, none, or more for cells stacked on one another).
// Cells that would spread over a grid far larger than their number (no real table does) are
// given one row per top edge instead, in the order of their left edges.
using CellGrid = std::vector<std::vector<std::vector<size_t>>>;
CellGrid LayOutTableCells(const std::vector<ShapePlace>& cells);

}  // namespace dkscr
