#include "app/widgets/EntryFiles.h"

#include <QString>

#include "app/session/Entry.h"
#include "app/session/FileNames.h"
#include "app/session/FileProbe.h"
#include "app/widgets/DesktopPaths.h"
#include "app/widgets/DesktopServices.h"
#include "app/widgets/MainDialogs.h"
#include "app/widgets/MainWindowUi.h"

namespace dkscr {

void OpenEntryFile(const Entry& entry, bool useSource, bool launch, DesktopServices& desktop,
                   MainDialogs& dialogs) {
  const std::u16string& path = useSource ? entry.source : entry.target;
  if (path.empty()) return;
  // With no program to open it (nothing installed for the type, no file manager), the user
  // hears of it instead of nothing happening.
  if (launch) {
    if (!desktop.OpenUrl(UrlOfPath(path)))
      dialogs.ShowError(WindowText(QT_TRANSLATE_NOOP("dkscr::MainWindow", "No program could be started to open %1"))
                            .arg(QString::fromStdU16String(path)));
    return;
  }
  if (FileExists(path) && desktop.ShowItem(UrlOfPath(path))) return;
  const std::u16string folder(FolderPart(path));
  if (!desktop.OpenUrl(UrlOfPath(folder)))
    dialogs.ShowError(WindowText(QT_TRANSLATE_NOOP("dkscr::MainWindow", "No file manager could be started to show %1"))
                          .arg(QString::fromStdU16String(folder)));
}

}  // namespace dkscr
