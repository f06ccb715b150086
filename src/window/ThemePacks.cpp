// SPDX-License-Identifier: MIT
#include "window/ThemePacks.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QMetaObject>
#include <QWidget>
#include <thread>

#include "input/ThemePack.h"
#include "pages/PickFile.h"
#include "state/ThemeState.h"

namespace window {

namespace {
constexpr const char* kTitle = "Open Theme Pack";

std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) text += "\n    " + item;
    return text;
}
}  // namespace

std::optional<std::string> ThemePacks::themeFromPack(const std::filesystem::path& hostArchive) {
    auto tell = [&](const std::string& text, platform::MessageIcon icon) {
        m_services.messageBoxes.show(
            {text, kTitle, platform::MessageButtons::Ok, icon, platform::MessageResult::Ok});
    };
    const auto root = m_services.drives.toHost(kImportFolder);
    if (!root) {
        tell(std::string("The folder ") + kImportFolder + " cannot be reached.",
             platform::MessageIcon::Stop);
        return std::nullopt;
    }
    // A big pack takes a while to unpack: the window keeps repainting meanwhile.
    input::UnpackedPack pack;
    QEventLoop waiting;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::thread worker([&] {
        pack = input::unpackThemePack(hostArchive, *root);
        QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
    });
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    QApplication::restoreOverrideCursor();

    const std::string name = hostArchive.filename().string();
    if (!pack.error.empty()) {
        tell("Cannot open the theme pack " + name + "\n\n" + pack.error,
             platform::MessageIcon::Stop);
        return std::nullopt;
    }
    const auto folder = m_services.drives.toWindows(pack.folder);
    std::string text;
    if (pack.reused)
        text += "The pack was unpacked before; its folder " +
                folder.value_or(pack.folder.string()) +
                (pack.changed ? " is used as you left it (files in it were changed since)."
                              : " is used again.");
    if (!pack.skipped.empty())
        text += "\n\nEntries left out of " + name + ":" + listed(pack.skipped);
    if (!pack.renamed.empty())
        text += "\n\nEntries kept under another name:" + listed(pack.renamed);
    if (pack.themes.empty()) {
        tell("The theme pack " + name + " was unpacked into " +
                 folder.value_or(pack.folder.string()) + ", but it holds no theme file (.theme)." +
                 text,
             platform::MessageIcon::Warning);
        return std::nullopt;
    }
    if (!text.empty()) {
        while (text.starts_with('\n')) text.erase(0, 1);
        tell(text,
             pack.skipped.empty() ? platform::MessageIcon::None : platform::MessageIcon::Warning);
    }
    std::vector<std::string> themes;
    for (const auto& theme : pack.themes)
        if (auto path = m_services.drives.toWindows(theme)) themes.push_back(*path);
    if (themes.empty()) return std::nullopt;
    if (themes.size() == 1) return themes.front();
    // Several themes (a "High Color" and a "256 Color" one): the user picks, in the pack's folder.
    const std::string picked =
        pages::pickFile(m_services.commonDialog, "Theme files", "*.theme", themes.front());
    if (!state::holdsChoice(picked, "*.theme")) return std::nullopt;
    return picked;
}

}  // namespace window
