#pragma once
// The desktop as the main window asks it: Qt's file dialog, the default programs, the file
// manager (over D-Bus, org.freedesktop.FileManager1; on Windows Explorer, through the shell)
// and the clipboard.
#include "app/widgets/DesktopServices.h"

namespace dkscr {

class SystemDesktop : public DesktopServices {
 public:
  QStringList ChooseFiles(QWidget* parent, const QStringList& nameFilters) override;
  bool OpenUrl(const QUrl& url) override;
  bool ShowItem(const QUrl& url) override;
  std::vector<std::u16string> ClipboardFiles() override;
  std::vector<std::u16string> DroppedFiles(const QMimeData* payload) override;
};

}  // namespace dkscr
