#pragma once
// The program's help: pages shipped inside the program, shown in a browser window of its
// own, opened at the contents or at a named page.

#include <QString>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace dkscr {

inline constexpr const char* kHelpContents = "Contents.htm";
inline constexpr const char* kHelpOptions = "Options.htm";

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows the page (a file name of the help pages, empty for the contents).
  void ShowTopic(const QString& topic);
  QString CurrentTopic() const;

  QTextBrowser* browser;

 private:
  QToolButton* back_;
  QToolButton* contents_;
};

// Shows the page in the help window of requester's window, creating it on first use; the
// help window belongs to that window and is freed with it.
HelpWindow* ShowHelp(QWidget* requester, const QString& topic);

}  // namespace dkscr
