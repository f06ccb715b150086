// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <optional>
#include <string>

#include "state/ThemeState.h"

namespace window {

/// The work of a run, kept on disk so a close or a crash loses nothing: the whole theme state,
/// the theme file it came from (a Windows path, "" for none) and when it last changed.
struct KeptWork {
    state::ThemeState theme;
    std::string source;
    QDateTime changed;

    bool operator==(const KeptWork&) const = default;
};

/// The kept work as a small JSON document that reads back into the same state.
QByteArray writeKeptWork(const KeptWork& work);

/// Kept work from bytes that may be damaged or made up: nullopt unless every field is there
/// with the type, count and range this tool writes, and no name holds a control character
/// (nor a path a quote).
std::optional<KeptWork> readKeptWork(const QByteArray& bytes);

}  // namespace window
