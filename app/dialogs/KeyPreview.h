#pragma once
// Gives a dialog the key presses of all its controls first: Enter runs the dialog's OK
// action and Esc its Cancel action, whichever control has the focus.

#include <QObject>
#include <functional>

class QDialog;

namespace dkscr {

class KeyPreview : public QObject {
 public:
  // Watches the dialog and every control it holds now; call after building the controls.
  KeyPreview(QDialog* dialog, std::function<void()> onEnter, std::function<void()> onEscape);

  // Watches a control added later.
  void Watch(QObject* control);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QDialog* dialog_;
  std::function<void()> onEnter_;
  std::function<void()> onEscape_;
};

}  // namespace dkscr
