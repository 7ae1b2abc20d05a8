#pragma once
// The session's list as the table shows it: seven columns, a state icon in the first, the
// entries' values as texts in the others, and the sort marker on the sorted column's caption.
// Colours are the view's: its palette and its alternating rows, so that any theme reads. It only maps rows to cells and passes the session's changes
// on to the views; run messages, kept in English, are shown in the user's language.
#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <array>
#include <string>
#include <string_view>

#include "app/session/Session.h"
#include "app/session/SessionRun.h"
#include "app/widgets/AppImages.h"

namespace dkscr {

inline constexpr std::u16string_view kSortUpMarker = u"(->)";
inline constexpr std::u16string_view kSortDownMarker = u"(<-)";

// The caption with the marker of the direction in front.
QString MarkSortCaption(const QString& caption, bool ascending);

class FileTableModel : public QAbstractTableModel, private SessionObserver {
  Q_OBJECT

 public:
  FileTableModel(Session& session, std::array<QIcon, kStateIconCount> stateIcons,
                 QObject* parent = nullptr);
  ~FileTableModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // An entry's outcome in words, as its icon shows it.
  static QString StateText(EntryLook look);
  // A column's caption without the sort marker.
  QString Caption(int column) const { return captions_[size_t(column)]; }

  // The value of a column (1..6) as text, as the job file keeps it (messages in English).
  QString Text(int row, int column) const;
  // The text as the table shows it: run messages in the user's language.
  QString ShownText(int row, int column) const;

 private:
  void RowsAboutToBeInserted(int first, int last) override;
  void RowsInserted() override;
  void RowsAboutToBeRemoved(int first, int last) override;
  void RowsRemoved() override;
  void RowsChanged(int first, int last) override;
  void RowsAboutToMove() override;
  void RowsMoved(const std::vector<int>& newRowOf) override;
  void AboutToReset() override;
  void ResetDone() override;

  Session& session_;
  std::array<QString, kColumnCount> captions_;
  std::array<QIcon, kStateIconCount> stateIcons_;
};

}  // namespace dkscr
