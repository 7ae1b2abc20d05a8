#include "app/widgets/ColumnTrackingTable.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

namespace dkscr {

ColumnTrackingTable::ColumnTrackingTable(QWidget* parent) : QTableWidget(parent) {
  setShowGrid(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFrameShape(QFrame::StyledPanel);
  verticalHeader()->hide();
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->viewport()->installEventFilter(this);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this,
          [this] { HeaderSectionResized(); });
  // Queued, so that the list has moved its cells before the listeners look at them.
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { emit OnHScroll(this); }, Qt::QueuedConnection);
}

void ColumnTrackingTable::HeaderSectionResized() {
  if (headerDragging_) {
    resizedInDrag_ = true;  // reported when the user lets go of the border
    return;
  }
  emit OnEndColumnResize(this);  // resized by the program or by a double click
}

bool ColumnTrackingTable::eventFilter(QObject* watched, QEvent* event) {
  if (watched == horizontalHeader()->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) {
      headerDragging_ = true;
      resizedInDrag_ = false;
    } else if (event->type() == QEvent::MouseButtonRelease) {
      // Let the header finish the resize first, then tell the listeners.
      const bool resized = resizedInDrag_;
      headerDragging_ = false;
      resizedInDrag_ = false;
      const bool handled = QTableWidget::eventFilter(watched, event);
      if (resized) emit OnEndColumnResize(this);
      return handled;
    }
  }
  return QTableWidget::eventFilter(watched, event);
}

}  // namespace dkscr
