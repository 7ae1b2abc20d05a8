#include "ppt/ShapeGroups.h"

#include <algorithm>

#include "platform/LittleEndian.h"

namespace dkscr {
namespace {

// Property ids of a shape's property table.
constexpr uint16_t kTableProperties = 0x039F;  // table flags; bit 0: the group is a table
constexpr uint16_t kDiagramType = 0x0500;      // the type of a diagram gallery diagram
// Diagram types that are diagrams: organization chart, radial, cycle, pyramid, Venn, target.
// 0 is a drawing canvas, which holds ordinary shapes.
constexpr uint32_t kFirstDiagramType = 1;
constexpr uint32_t kLastDiagramType = 6;
constexpr size_t kPropertySize = 6;  // 16-bit id with flags, 32-bit value
constexpr uint16_t kPropertyIdMask = 0x3FFF;

// More grid positions than this many per cell mean the cells are no table.
constexpr size_t kGridPositionsPerCell = 4;
constexpr size_t kSmallestGridAllowed = 64;

int32_t LoadLe32Signed(const uint8_t* p) { return static_cast<int32_t>(LoadLe32(p)); }
int32_t LoadLe16Signed(const uint8_t* p) { return static_cast<int16_t>(LoadLe16(p)); }

size_t IndexOf(const std::vector<int32_t>& sorted, int32_t value) {
  return static_cast<size_t>(std::lower_bound(sorted.begin(), sorted.end(), value) - sorted.begin());
}

std::vector<int32_t> DistinctSorted(std::vector<int32_t> values) {
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  return values;
}

}  // namespace

GroupKind GroupKindOfProperties(const uint8_t* data, size_t size, uint16_t count) {
  GroupKind kind = GroupKind::kPlain;
  for (size_t i = 0; i < count && (i + 1) * kPropertySize <= size; ++i) {
    const uint8_t* property = data + i * kPropertySize;
    const uint16_t id = LoadLe16(property) & kPropertyIdMask;
    const uint32_t value = LoadLe32(property + 2);
    if (id == kTableProperties && (value & 1) != 0) return GroupKind::kTable;
    if (id == kDiagramType && value >= kFirstDiagramType && value <= kLastDiagramType) kind = GroupKind::kDiagram;
  }
  return kind;
}

bool ShapePlaceOfAnchor(uint16_t recType, const uint8_t* data, size_t size, ShapePlace& place) {
  if (recType == officeart::kChildAnchor && size == 16) {
    place = {LoadLe32Signed(data + 4), LoadLe32Signed(data)};
  } else if (recType == officeart::kClientAnchor && size == 16) {
    place = {LoadLe32Signed(data), LoadLe32Signed(data + 4)};
  } else if (recType == officeart::kClientAnchor && size == 8) {
    place = {LoadLe16Signed(data), LoadLe16Signed(data + 2)};
  } else {
    return false;
  }
  return true;
}

CellGrid LayOutTableCells(const std::vector<ShapePlace>& cells) {
  std::vector<int32_t> tops;
  std::vector<int32_t> lefts;
  for (const ShapePlace& cell : cells) {
    tops.push_back(cell.top);
    lefts.push_back(cell.left);
  }
  tops = DistinctSorted(std::move(tops));
  lefts = DistinctSorted(std::move(lefts));
  // Cells in reading order: by top edge, then by left edge, then as stored.
  std::vector<size_t> order(cells.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return cells[a].top != cells[b].top ? cells[a].top < cells[b].top : cells[a].left < cells[b].left;
  });
  CellGrid grid(tops.size());
  const bool sparse = lefts.size() > 0 && tops.size() > (kGridPositionsPerCell * cells.size() + kSmallestGridAllowed) / lefts.size();
  for (auto& row : grid) {
    if (!sparse) row.resize(lefts.size());
  }
  for (const size_t index : order) {
    auto& row = grid[IndexOf(tops, cells[index].top)];
    if (sparse) {
      row.push_back({index});
    } else {
      row[IndexOf(lefts, cells[index].left)].push_back(index);
    }
  }
  return grid;
}

}  // namespace dkscr
