#include "app/widgets/FileTableModel.h"

#include <QLocale>
#include <utility>

#include "app/session/FileNames.h"
#include "app/widgets/RunMessages.h"

namespace dkscr {

QString MarkSortCaption(const QString& caption, bool ascending) {
  return QString::fromStdU16String(std::u16string(ascending ? kSortUpMarker : kSortDownMarker)) +
         caption;
}

FileTableModel::FileTableModel(Session& session, std::array<QIcon, kStateIconCount> stateIcons,
                               QObject* parent)
    : QAbstractTableModel(parent),
      session_(session),
      captions_{tr("State"), tr("Name"), tr("Source file"), tr("Size(Byte)"), tr("Type"),
                tr("Target file"), tr("Convert Message")},
      stateIcons_(std::move(stateIcons)) {
  session_.AddObserver(*this);
}

FileTableModel::~FileTableModel() { session_.RemoveObserver(*this); }

QString FileTableModel::StateText(EntryLook look) {
  switch (look) {
    case EntryLook::kNew: return tr("Not converted");
    case EntryLook::kConverted: return tr("Converted");
    case EntryLook::kConvertedNoText: return tr("Converted, no text found");
    case EntryLook::kFailed: return tr("Failed");
    case EntryLook::kSkipped: return tr("Skipped");
    case EntryLook::kUnknown: break;
  }
  return tr("Unknown state");
}

int FileTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : session_.Count();
}

int FileTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QString FileTableModel::Text(int row, int column) const {
  const Entry& e = session_.At(row);
  auto q = [](std::u16string_view text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
  };
  switch (column) {
    case kColName: return q(FileNamePart(e.source));
    case kColSource: return q(e.source);
    case kColSize: return e.size >= 0 ? QString::number(e.size) : QString();
    case kColType: return q(e.kind);
    case kColTarget: return q(e.target);
    case kColMessage: return q(e.message);
    default: return {};
  }
}

QString FileTableModel::ShownText(int row, int column) const {
  const QString text = Text(row, column);
  return column == kColMessage ? ShownRunMessage(text) : text;
}

QVariant FileTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= session_.Count()) return {};
  const int row = index.row();
  const int col = index.column();
  const Entry& entry = session_.At(row);
  const EntryLook look = LookOf(entry);
  switch (role) {
    case Qt::DisplayRole:
      return col == kColState ? QVariant() : QVariant(ShownText(row, col));
    case Qt::DecorationRole:
      return col == kColState && look != EntryLook::kUnknown
                 ? QVariant(stateIcons_[size_t(look)])
                 : QVariant();
    case Qt::TextAlignmentRole:
      return col == kColSize ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case Qt::ToolTipRole:
      // The size as people read sizes, beside the bytes the column shows.
      if (col == kColSize && entry.size >= 0)
        return tr("%1 (%2 bytes)").arg(QLocale().formattedDataSize(entry.size),
                                      QLocale().toString(qlonglong(entry.size)));
      [[fallthrough]];
    case Qt::AccessibleTextRole:
      // The state icon in words, for a screen reader and under the mouse; the other
      // columns' whole texts, which the table may have cut off.
      return col == kColState ? QVariant(StateText(look)) : QVariant(ShownText(row, col));
    default:
      return {};
  }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) {
    const QString& caption = captions_[size_t(section)];
    return section == session_.SortColumn() ? MarkSortCaption(caption, session_.SortAscending())
                                            : caption;
  }
  if (role == Qt::TextAlignmentRole && section == kColSize)
    return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags FileTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void FileTableModel::RowsAboutToBeInserted(int first, int last) {
  beginInsertRows(QModelIndex(), first, last);
}

void FileTableModel::RowsInserted() { endInsertRows(); }

void FileTableModel::RowsAboutToBeRemoved(int first, int last) {
  beginRemoveRows(QModelIndex(), first, last);
}

void FileTableModel::RowsRemoved() { endRemoveRows(); }

void FileTableModel::RowsChanged(int first, int last) {
  emit dataChanged(index(first, 0), index(last, kColumnCount - 1));
}

void FileTableModel::RowsAboutToMove() {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FileTableModel::RowsMoved(const std::vector<int>& newRowOf) {
  // Selections and the current item follow their entries.
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& idx : from)
    to.append(index(newRowOf[size_t(idx.row())], idx.column()));
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);  // the marker moved
}

void FileTableModel::AboutToReset() { beginResetModel(); }

void FileTableModel::ResetDone() { endResetModel(); }

}  // namespace dkscr
