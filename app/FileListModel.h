#pragma once
// The file list as the list view shows it: seven columns, a state icon in the first, the
// six column texts in the others, and alternating row colours. The entries keep the run's
// messages in English; only what is shown is translated.
#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/FileList.h"

namespace dkscr {

// Column numbers of the list.
enum ListColumn : int {
  kColState = 0,
  kColName = 1,
  kColSource = 2,
  kColSize = 3,
  kColType = 4,
  kColTarget = 5,
  kColMessage = 6,
  kColumnCount = 7,
};

class TFileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TFileListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                     int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // An entry's state in words, as its icon shows it.
  static QString StateText(int32_t state);

  const TFileListEntry& Entry(int row) const { return FList[size_t(row)]; }
  const TFileList& List() const { return FList; }
  int Count() const { return int(FList.Count()); }

  // The text of a column (1..6); empty when the entry has fewer texts.
  QString Text(int row, int column) const;
  // The text as the list shows it: run messages in the user's language.
  QString ShownText(int row, int column) const;
  void SetText(int row, int column, const QString& text);
  void SetState(int row, int32_t state);

  void Append(TFileListEntry entry);
  // Removes every row whose flag is set, in one pass; returns how many went.
  size_t RemoveRows(const std::vector<bool>& doomed);
  // Takes over every entry of a list (a loaded job file).
  void ReplaceAll(TFileList list);

  // Whether an entry's "Source file" equals the path, letter case ignored.
  bool ContainsSource(const std::u16string& path) const;

  // Stable sort by a column; selections and the current item follow their entries.
  void SortByColumn(int column, bool ascending);

  // Colour behind rows with an even index (odd rows are white).
  void SetEvenRowColor(const QColor& color) { FEvenRowColor = color; }
  void SetStateIcons(std::array<QIcon, 3> icons) { FStateIcons = std::move(icons); }

 private:
  void IndexSource(const TFileListEntry& entry, int delta);

  TFileList FList;
  // Upper-cased source paths with their number of entries, so that adding stays fast in
  // long lists.
  std::unordered_map<std::u16string, int> FSourceIndex;
  std::array<QString, kColumnCount> FCaptions;
  std::array<QIcon, 3> FStateIcons;
  QColor FEvenRowColor;
};

}  // namespace dkscr
