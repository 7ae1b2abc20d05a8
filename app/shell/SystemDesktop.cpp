#include "app/shell/SystemDesktop.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <QDir>
#include <string>
#else
#include <QDBusConnection>
#include <QDBusMessage>
#endif
#include <QClipboard>
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

#ifdef _WIN32
namespace {

// A local file's name as Windows spells it: UTF-16, backslashes.
std::wstring WindowsName(const QUrl& url) {
  return QDir::toNativeSeparators(url.toLocalFile()).toStdWString();
}

// The shell's "open" verb on a file, a folder or a program; true when something started.
bool ShellOpen(const wchar_t* file, const wchar_t* parameters) {
  const HINSTANCE result =
      ::ShellExecuteW(nullptr, L"open", file, parameters, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;  // an error code otherwise
}

}  // namespace

bool SystemDesktop::OpenUrl(const QUrl& url) {
  if (!url.isLocalFile()) return QDesktopServices::openUrl(url);
  return ShellOpen(WindowsName(url).c_str(), nullptr);
}

bool SystemDesktop::ShowItem(const QUrl& url) {
  if (!url.isLocalFile()) return false;
  // Explorer opens the folder with the item selected; names cannot hold quotes.
  const std::wstring arguments = L"/select,\"" + WindowsName(url) + L"\"";
  return ShellOpen(L"explorer.exe", arguments.c_str());
}
#else
bool SystemDesktop::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool SystemDesktop::ShowItem(const QUrl& url) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  call << QStringList{url.toString(QUrl::FullyEncoded)} << QString();
  const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
  return reply.type() == QDBusMessage::ReplyMessage;
}
#endif

std::vector<std::u16string> SystemDesktop::ClipboardFiles() {
  return FilesFromMime(QGuiApplication::clipboard()->mimeData());
}

std::vector<std::u16string> SystemDesktop::DroppedFiles(const QMimeData* payload) {
  return FilesFromMime(payload);
}

}  // namespace dkscr
