#pragma once
// A report-style list (rows of cells under a header) that also tells when the user has
// finished dragging a column border and when it has scrolled sideways, so that a control
// laid over a cell can follow it.

#include <QTableWidget>

namespace dkscr {

class ColumnTrackingTable : public QTableWidget {
  Q_OBJECT

 public:
  explicit ColumnTrackingTable(QWidget* parent = nullptr);

 signals:
  // Fired after the list has handled the end of a column resize.
  void OnEndColumnResize(QObject* sender);
  // Fired after the list has handled a horizontal scroll.
  void OnHScroll(QObject* sender);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void HeaderSectionResized();

  bool headerDragging_ = false;  // a mouse button is down on the header
  bool resizedInDrag_ = false;   // a column changed width during that drag
};

}  // namespace dkscr
