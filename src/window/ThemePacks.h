// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "window/Services.h"

class QWidget;

namespace window {

/// Where theme packs are unpacked: C:\skinvault\Imported, an ordinary folder the user sees.
inline constexpr const char* kImportFolder = "C:\\skinvault\\Imported";

/// Opens theme packs (.zip, .lzh, .cab) for the window: unpacks one into the import folder on a
/// worker thread while the window goes on repainting, tells the user what was left out, and
/// lets the user choose when the pack holds several themes.
class ThemePacks {
public:
    ThemePacks(Services& services, QWidget* window) : m_services(services), m_window(window) {}

    /// The Windows path of the theme to open from the pack at a host path; nullopt when there
    /// is none or the user cancelled (a message has said why).
    std::optional<std::string> themeFromPack(const std::filesystem::path& hostArchive);

private:
    Services& m_services;
    QWidget* m_window;
};

}  // namespace window
