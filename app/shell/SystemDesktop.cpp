#include "app/shell/SystemDesktop.h"

#include <QClipboard>
#ifndef _WIN32
#include <QDBusConnection>
#include <QDBusMessage>
#endif
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>

#include "app/shell/ClipboardFiles.h"

namespace dkscr {

QStringList SystemDesktop::ChooseFiles(QWidget* parent, const QStringList& nameFilters) {
  QFileDialog dialog(parent);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilters(nameFilters);
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

bool SystemDesktop::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool SystemDesktop::ShowItem(const QUrl& url) {
#ifdef _WIN32
  // Not yet on Windows: the caller opens the folder instead.
  (void)url;
  return false;
#else
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  call << QStringList{url.toString(QUrl::FullyEncoded)} << QString();
  const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
  return reply.type() == QDBusMessage::ReplyMessage;
#endif
}

std::vector<std::u16string> SystemDesktop::ClipboardFiles() {
  return FilesFromMime(QGuiApplication::clipboard()->mimeData());
}

std::vector<std::u16string> SystemDesktop::DroppedFiles(const QMimeData* payload) {
  return FilesFromMime(payload);
}

}  // namespace dkscr
