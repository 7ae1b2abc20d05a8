#include "app/dialogs/KeyPreview.h"

#include <QAbstractButton>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>
#include <utility>

namespace dkscr {

KeyPreview::KeyPreview(QDialog* dialog, std::function<void()> onEnter,
                       std::function<void()> onEscape)
    : QObject(dialog), dialog_(dialog), onEnter_(std::move(onEnter)),
      onEscape_(std::move(onEscape)) {
  Watch(dialog);
  for (QWidget* child : dialog->findChildren<QWidget*>()) Watch(child);
  // Enter belongs to the dialog, not to whichever button has the focus.
  for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
}

void KeyPreview::Watch(QObject* control) { control->installEventFilter(this); }

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
    return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  // Pop-up lists (an open combo box) keep their own keys.
  if (widget == nullptr || widget->window() != dialog_) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  const bool escape = key == Qt::Key_Escape;
  if (!enter && !escape) return false;
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();  // keep the key from becoming a shortcut; it arrives as a key press
    return false;
  }
  if (enter && onEnter_) onEnter_();
  if (escape && onEscape_) onEscape_();
  return true;
}

}  // namespace dkscr
