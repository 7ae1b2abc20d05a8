#include "app/dialogs/DialogResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitDialogsQrc() { Q_INIT_RESOURCE(dialogs); }

namespace dkscr {

void InitDialogResources() {
  static const bool done = (InitDialogsQrc(), true);
  (void)done;
}

}  // namespace dkscr
