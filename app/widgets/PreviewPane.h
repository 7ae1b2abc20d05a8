#pragma once
// The pane below the list that shows the text of the entry the user is on, once it has been
// converted, in the form it was written (text, Markdown, JSON).
#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace dkscr {

struct Entry;

class PreviewPane : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewPane(QWidget* parent = nullptr);

  // Shows the entry's target file (nullptr: no entry), decoded as the run wrote it in
  // `codePage`, or says why there is nothing to show.
  void ShowEntry(const Entry* entry, int32_t codePage);
  // What the pane shows: its text, and the line above it.
  QString Text() const;
  QString Caption() const;

 private:
  QLabel* caption_;
  QPlainTextEdit* text_;
};

}  // namespace dkscr
