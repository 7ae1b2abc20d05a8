#include "app/FileListModel.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "app/KelFileFind.h"
#include "app/ListSort.h"
#include "app/RunMessages.h"

namespace dkscr {

TFileListModel::TFileListModel(QObject* parent)
    : QAbstractTableModel(parent),
      FCaptions{tr("State"), tr("Name"), tr("Source file"),
                tr("Size(Byte)"), tr("Type"),
                tr("Target file"), tr("Convert Message")},
      FEvenRowColor(QColor(0xFF, 0xFF, 0xE1)) {}

QString TFileListModel::StateText(int32_t state) {
  switch (state) {
    case kStateNew: return tr("Not converted");
    case kStateConverted: return tr("Converted");
    case kStateFailed: return tr("Failed");
    default: return tr("Unknown state %1").arg(state);
  }
}

int TFileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Count();
}

int TFileListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QString TFileListModel::Text(int row, int column) const {
  if (column < 1) return {};
  return QString::fromStdU16String(Entry(row).SubItem(size_t(column - 1)));
}

QString TFileListModel::ShownText(int row, int column) const {
  const QString text = Text(row, column);
  return column == kColMessage ? ShownRunMessage(text) : text;
}

QVariant TFileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return {};
  const int row = index.row();
  const int col = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return col == kColState ? QVariant() : QVariant(ShownText(row, col));
    case Qt::DecorationRole:
      if (col == kColState) {
        const int32_t s = Entry(row).State;
        if (s >= 0 && s < 3) return FStateIcons[size_t(s)];
      }
      return {};
    case Qt::TextAlignmentRole:
      return col == kColSize ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case Qt::BackgroundRole:
      // The colour follows the row's position, not its entry.
      return (row % 2 == 1) ? QColor(Qt::white) : FEvenRowColor;
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
      // The state icon in words, for a screen reader and under the mouse; the other
      // columns' whole texts, which the list may have cut off.
      return col == kColState ? QVariant(StateText(Entry(row).State))
                               : QVariant(ShownText(row, col));
    default:
      return {};
  }
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return FCaptions[size_t(section)];
  if (role == Qt::TextAlignmentRole && section == kColSize)
    return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

bool TFileListModel::setHeaderData(int section, Qt::Orientation orientation,
                                   const QVariant& value, int role) {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount)
    return false;
  FCaptions[size_t(section)] = value.toString();
  emit headerDataChanged(orientation, section, section);
  return true;
}

Qt::ItemFlags TFileListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void TFileListModel::SetText(int row, int column, const QString& text) {
  if (column < 1 || row < 0 || row >= Count()) return;
  TFileListEntry& e = FList[size_t(row)];
  if (column == kColSource) IndexSource(e, -1);
  e.SetSubItem(size_t(column - 1), text.toStdU16String());
  if (column == kColSource) IndexSource(e, +1);
  emit dataChanged(index(row, column), index(row, column));
}

void TFileListModel::SetState(int row, int32_t state) {
  if (row < 0 || row >= Count()) return;
  FList[size_t(row)].State = state;
  emit dataChanged(index(row, kColState), index(row, kColState));
}

void TFileListModel::IndexSource(const TFileListEntry& entry, int delta) {
  const std::u16string key = UpperCaseText(entry.SubItem(kSubItemSourceFile));
  int& count = FSourceIndex[key];
  count += delta;
  if (count <= 0) FSourceIndex.erase(key);
}

bool TFileListModel::ContainsSource(const std::u16string& path) const {
  return FSourceIndex.count(UpperCaseText(path)) != 0;
}

void TFileListModel::Append(TFileListEntry entry) {
  const int row = Count();
  beginInsertRows(QModelIndex(), row, row);
  IndexSource(FList.Add(std::move(entry)), +1);
  endInsertRows();
}

size_t TFileListModel::RemoveRows(const std::vector<bool>& doomed) {
  std::vector<TFileListEntry>& entries = FList.Entries();
  const size_t n = std::min(doomed.size(), entries.size());
  // The runs of doomed rows, first row and one past the last.
  std::vector<std::pair<size_t, size_t>> runs;
  size_t removed = 0;
  for (size_t i = 0; i < n; ++i) {
    if (!doomed[i]) continue;
    if (runs.empty() || runs.back().second != i) runs.emplace_back(i, i);
    ++runs.back().second;
    ++removed;
  }
  for (const auto& [first, end] : runs)
    for (size_t i = first; i < end; ++i) IndexSource(entries[i], -1);
  constexpr size_t kMaxRunsRemovedSingly = 64;
  if (runs.size() <= kMaxRunsRemovedSingly) {
    // From the bottom up, so that the rows of the runs still to go keep their numbers; the
    // view keeps its place and the rest of the selection.
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
      beginRemoveRows(QModelIndex(), int(it->first), int(it->second) - 1);
      entries.erase(entries.begin() + std::ptrdiff_t(it->first),
                    entries.begin() + std::ptrdiff_t(it->second));
      endRemoveRows();
    }
    return removed;
  }
  // Many scattered rows: one pass and a reset, since each removal moves the rest of the list.
  beginResetModel();
  size_t kept = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i < n && doomed[i]) continue;
    if (kept != i) entries[kept] = std::move(entries[i]);
    ++kept;
  }
  entries.resize(kept);
  endResetModel();
  return removed;
}

void TFileListModel::ReplaceAll(TFileList list) {
  beginResetModel();
  FList = std::move(list);
  FSourceIndex.clear();
  for (const TFileListEntry& e : FList.Entries()) IndexSource(e, +1);
  endResetModel();
}

void TFileListModel::SortByColumn(int column, bool ascending) {
  // Keys once per entry, not once per comparison; the order the user sees.
  std::vector<TFileListEntry>& entries = FList.Entries();
  std::vector<std::u16string> keys(entries.size());
  if (column != kColState)
    for (size_t i = 0; i < keys.size(); ++i) keys[i] = ShownText(int(i), column).toStdU16String();
  std::vector<int> order(entries.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const size_t ia = size_t(a);
    const size_t ib = size_t(b);
    const int r = ascending
                      ? CompareColumn(column, entries[ia].State, keys[ia], entries[ib].State,
                                      keys[ib])
                      : CompareColumn(column, entries[ib].State, keys[ib], entries[ia].State,
                                      keys[ia]);
    return r < 0;
  });

  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<TFileListEntry> sorted;
  sorted.reserve(entries.size());
  std::vector<int> newRowOf(entries.size());
  for (size_t i = 0; i < order.size(); ++i) {
    newRowOf[size_t(order[i])] = int(i);
    sorted.push_back(std::move(entries[size_t(order[i])]));
  }
  entries = std::move(sorted);
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& idx : from) to.append(index(newRowOf[size_t(idx.row())], idx.column()));
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace dkscr
