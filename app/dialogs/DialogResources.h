#pragma once
// The dialogs' pictures and help pages live in a static library; this registers them with
// the resource system before first use (safe to call any number of times).

namespace dkscr {
void InitDialogResources();
}
