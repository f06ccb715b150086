// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace app {

/// `--export PATH FILE.theme`: opens the theme, creates its folder as the window does and
/// packs it into PATH (the kind from PATH's extension). Needs no display. Prints what it
/// wrote and returns 0, or prints the reason and returns 1.
int runExportCommand(const QString& target, const QString& themeFile);

}  // namespace app
