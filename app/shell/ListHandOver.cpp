#include "app/shell/ListHandOver.h"

#include <QCryptographicHash>
#ifndef _WIN32
#include <QDBusConnection>
#include <QDBusMessage>
#endif

#include "app/widgets/MainWindow.h"
#include "platform/NativePath.h"

namespace dkscr {
namespace {

#ifndef _WIN32
constexpr char kObjectPath[] = "/List";
constexpr char kInterface[] = "io.github.deckscribe.Deckscribe.List";
constexpr int kCallTimeoutMs = 3000;
#endif

}  // namespace

QString ListOwnerName(const std::u16string& programDir) {
  // One window per settings folder: the folder's digest makes the name (a bus name's parts
  // take letters, digits and "_" only, and may not start with a digit).
  const QByteArray digest =
      QCryptographicHash::hash(QByteArray::fromStdString(PathToNative(programDir)),
                               QCryptographicHash::Sha1).toHex();
  return QStringLiteral("io.github.deckscribe.Deckscribe.List_") + QString::fromLatin1(digest);
}

ListHandOver::ListHandOver(MainWindow& window, const std::u16string& programDir)
    : window_(window), name_(ListOwnerName(programDir)) {
#ifndef _WIN32
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  if (!bus.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportScriptableSlots))
    return;
  offered_ = bus.registerService(name_);
  if (!offered_) bus.unregisterObject(QString::fromLatin1(kObjectPath));
#endif
}

ListHandOver::~ListHandOver() {
#ifndef _WIN32
  if (!offered_) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterService(name_);
  bus.unregisterObject(QString::fromLatin1(kObjectPath));
#endif
}

void ListHandOver::AddPaths(const QStringList& paths) {
  std::vector<std::u16string> decoded;
  for (const QString& path : paths) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(path.toLatin1());
    decoded.push_back(PathFromNative(std::string_view(bytes.constData(), size_t(bytes.size()))));
  }
  window_.AddFromCommandLine(decoded);
  window_.showNormal();
  window_.raise();
  window_.activateWindow();
}

bool HandToListOwner(const std::u16string& programDir, const std::vector<std::u16string>& paths) {
#ifdef _WIN32
  // No session bus: the second window keeps its own list and says that it will not save it.
  (void)programDir;
  (void)paths;
  return false;
#else
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QStringList encoded;
  for (const std::u16string& path : paths)
    encoded << QString::fromLatin1(QByteArray::fromStdString(PathToNative(path)).toPercentEncoding("/"));
  QDBusMessage call = QDBusMessage::createMethodCall(ListOwnerName(programDir),
                                                     QString::fromLatin1(kObjectPath),
                                                     QString::fromLatin1(kInterface),
                                                     QStringLiteral("AddPaths"));
  call << encoded;
  return bus.call(call, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
#endif
}

}  // namespace dkscr
