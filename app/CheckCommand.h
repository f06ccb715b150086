// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdio>

namespace app {

/// `skinsmith --check FILE.theme [--json]`: opens the theme, checks every chosen file for
/// Windows 95 and 98 and prints the findings to `out` (errors to `err`). Needs no display.
/// Returns the exit code: 0 when both show everything, 1 when not, 2 when the theme cannot
/// be read.
int runCheck(const QString& themeFile, bool json, std::FILE* out, std::FILE* err);

}  // namespace app
