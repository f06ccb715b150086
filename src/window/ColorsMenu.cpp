// SPDX-License-Identifier: MIT
#include "window/ColorsMenu.h"

#include "input/ThemePack.h"

#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <optional>
#include <vector>

#include "input/ThemeReader.h"
#include "pages/PickFile.h"
#include "schemes/Contrast.h"
#include "schemes/Schemes.h"
#include "schemes/Wallpaper.h"
#include "state/KeptKeys.h"
#include "window/ContrastDialog.h"
#include "window/Form1.h"
#include "window/ThemePacks.h"

namespace window {

namespace {
constexpr const char* kImportTitle = "Import Colors from Theme";
constexpr const char* kWallpaperTitle = "Colors from Wallpaper";
constexpr const char* kContrastTitle = "Check Contrast";

// The opaque pixels of a picture, as colours.
std::vector<state::Color> pixelsOf(const QImage& picture) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    std::vector<state::Color> pixels;
    pixels.reserve(static_cast<std::size_t>(argb.width()) *
                   static_cast<std::size_t>(argb.height()));
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) != 0)
                pixels.push_back(state::rgb(static_cast<std::uint32_t>(qRed(row[x])),
                                            static_cast<std::uint32_t>(qGreen(row[x])),
                                            static_cast<std::uint32_t>(qBlue(row[x]))));
    }
    return pixels;
}
}  // namespace

ColorsMenu::ColorsMenu(QMenuBar* bar, Form1& form, Services& services)
    : QObject(&form), m_form(form), m_services(services) {
    setObjectName(QStringLiteral("ColorsMenu"));
    m_pool.setMaxThreadCount(1);
    // A scheme read from the last theme's wallpaper must not land on a theme opened since.
    connect(&form, &Form1::themeReplaced, this, [this] { ++m_latest; });
    QMenu* colors = bar->addMenu(QStringLiteral("&Colors"));
    colors->setObjectName(QStringLiteral("mnuColors"));
    QMenu* presets = colors->addMenu(QStringLiteral("Scheme &Presets"));
    presets->setObjectName(QStringLiteral("mnuColorsPresets"));
    for (std::size_t i = 0; i < schemes::kSchemeTable.size(); ++i) {
        const auto& scheme = schemes::kSchemeTable[i];
        // Each name's first letter is its mnemonic; schemes sharing one take turns.
        QAction* action = presets->addAction(
            QLatin1Char('&') +
            QString::fromUtf8(scheme.name.data(), static_cast<qsizetype>(scheme.name.size())));
        action->setObjectName(QStringLiteral("mnuColorsPreset%1").arg(i));
        connect(action, &QAction::triggered, this,
                [this, i] { mnuColorsPreset_Click(static_cast<int>(i)); });
    }
    colors->addSeparator();
    auto add = [this, colors](const char* name, const QString& text,
                              void (ColorsMenu::*handler)()) {
        QAction* action = colors->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
    };
    add("mnuColorsImport", QStringLiteral("&Import Colors from Theme..."),
        &ColorsMenu::mnuColorsImport_Click);
    add("mnuColorsWallpaper", QStringLiteral("Colors from &Wallpaper"),
        &ColorsMenu::mnuColorsWallpaper_Click);
    colors->addSeparator();
    add("mnuColorsContrast", QStringLiteral("Check &Contrast"),
        &ColorsMenu::mnuColorsContrast_Click);
}

ColorsMenu::~ColorsMenu() {
    m_pool.clear();
    m_pool.waitForDone();
}

void ColorsMenu::tell(const std::string& text, const char* title, bool problem) {
    m_services.messageBoxes.show(
        {text, title, platform::MessageButtons::Ok,
         problem ? platform::MessageIcon::Warning : platform::MessageIcon::None,
         platform::MessageResult::Ok});
}

void ColorsMenu::mnuColorsPreset_Click(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= schemes::kSchemeTable.size()) return;
    const auto& scheme = schemes::kSchemeTable[static_cast<std::size_t>(index)];
    // The 25 colours of the page and the three Windows 98 adds (title gradients, hot tracking),
    // which the theme keeps as lines of [Control Panel\Colors]: one change.
    state::ThemeState next = m_form.theme();
    next.colors = schemes::colorsOf(scheme);
    const auto extra = schemes::windows98ColorsOf(scheme);
    state::setKeptColor(next.keptKeys, "GradientActiveTitle", extra.gradientActiveTitle);
    state::setKeptColor(next.keptKeys, "GradientInactiveTitle", extra.gradientInactiveTitle);
    state::setKeptColor(next.keptKeys, "HotTrackingColor", extra.hotTracking);
    if (next == m_form.theme()) return;
    m_form.applyChange(std::move(next),
                       QStringLiteral("Scheme %1")
                           .arg(QString::fromUtf8(scheme.name.data(),
                                                  static_cast<qsizetype>(scheme.name.size()))));
}

void ColorsMenu::mnuColorsImport_Click() {
    constexpr std::string_view kPattern = "*.theme;*.zip;*.lzh;*.lha;*.cab";
    std::string path = pages::pickFile(m_services.commonDialog, "Theme files", kPattern);
    if (!state::holdsChoice(path, kPattern)) return;
    if (input::isPackName(path)) {
        // A pack is unpacked into the import folder as File > Open does it; its theme (the
        // user's choice when it holds several) gives the colours.
        const auto host = m_services.drives.toHost(path);
        const auto theme =
            host ? ThemePacks(m_services, &m_form).themeFromPack(*host) : std::nullopt;
        if (!theme) return;
        path = *theme;
    }
    const auto result = input::readThemeColors(m_services.drives, path);
    if (!result.read) {
        m_services.messageBoxes.show(
            {"Cannot read the colors of the theme file " + path + "\n\n" + result.error,
             kImportTitle, platform::MessageButtons::Ok, platform::MessageIcon::Stop,
             platform::MessageResult::Ok});
        return;
    }
    auto colors = m_form.theme().colors;
    std::size_t taken = 0;
    for (std::size_t slot = 0; slot < colors.size(); ++slot) {
        if (!result.read->colors[slot]) continue;
        colors[slot] = *result.read->colors[slot];
        ++taken;
    }
    m_form.replaceColors(colors, QStringLiteral("Import Colors"));
    std::string text;
    if (taken == 0) text = "The theme file " + path + " sets no colors; nothing was changed.";
    if (!result.read->badColors.empty()) {
        if (!text.empty()) text += "\n\n";
        text += "Colors that are not three values from 0 to 255 (left as they were):";
        for (const auto& line : result.read->badColors) text += "\n    " + line;
    }
    if (!text.empty()) tell(text, kImportTitle, true);
}

void ColorsMenu::mnuColorsWallpaper_Click() {
    const std::string path = m_form.theme().wallpaperPath;
    if (!state::holdsChoice(path, state::kWallpaperPattern)) {
        tell("Choose a wallpaper on the Wallpaper page first: its colors make the scheme.",
             kWallpaperTitle, false);
        emit wallpaperDone();
        return;
    }
    // A small copy, decoded on a worker: a big picture never holds up the window.
    const std::uint64_t request = ++m_latest;
    m_pool.clear();
    platform::PictureLoader& loader = m_services.pictureLoader;
    m_pool.start([this, request, path, &loader] {
        std::optional<schemes::Colors> scheme;
        const auto picture = loader.load(path, QSize(kSampleSide, kSampleSide));
        if (picture && !picture->isNull())
            scheme = schemes::schemeFromWallpaper(pixelsOf(*picture));
        // A queued call to a destroyed object is dropped, so a late result changes nothing.
        QMetaObject::invokeMethod(
            this,
            [this, request, path, scheme] {
                if (request != m_latest) return;  // a newer request decides
                if (scheme)
                    m_form.replaceColors(*scheme, QStringLiteral("Colors from Wallpaper"));
                else
                    tell("Cannot read the wallpaper " + path +
                             " for its colors; nothing was changed.",
                         kWallpaperTitle, true);
                emit wallpaperDone();
            },
            Qt::QueuedConnection);
    });
}

void ColorsMenu::mnuColorsContrast_Click() {
    const auto problems = schemes::contrastProblems(m_form.theme().colors);
    if (problems.empty()) {
        tell(
            "Every text color reads on its background: 4.5:1 or more, and 3:1 or more for gray "
            "text on buttons.",
            kContrastTitle, false);
        return;
    }
    auto* dialog = new ContrastDialog(m_form.theme().colors, problems, &m_form);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        auto colors = m_form.theme().colors;
        for (const auto& fix : dialog->chosenFixes()) colors[fix.pair.text] = fix.suggestion;
        m_form.replaceColors(colors, QStringLiteral("Contrast Fixes"));
    });
    dialog->open();
}

}  // namespace window
