// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QThreadPool>
#include <cstdint>

#include "window/Services.h"

class QMenuBar;

namespace window {

class Form1;

/// The Colors menu: the classic scheme presets, "Import Colors from Theme...", "Colors from
/// Wallpaper" and "Check Contrast". Each puts a whole set of colours in place as one change
/// (Form1::replaceColors). The schemes themselves live in src/schemes.
class ColorsMenu : public QObject {
    Q_OBJECT
public:
    /// Adds the menu to the bar; it belongs to the window.
    ColorsMenu(QMenuBar* bar, Form1& form, Services& services);
    /// Drops a wallpaper read not started and waits for the one under way.
    ~ColorsMenu() override;

    void mnuColorsPreset_Click(int index);
    void mnuColorsImport_Click();
    void mnuColorsWallpaper_Click();
    void mnuColorsContrast_Click();

    /// Side of the square copy a wallpaper is decoded to for its colours.
    static constexpr int kSampleSide = 64;

signals:
    /// "Colors from Wallpaper" has ended: its scheme is in place, or the user was told why not.
    /// A request overtaken by a newer one, or by a theme opened meanwhile, ends silently.
    void wallpaperDone();

private:
    void tell(const std::string& text, const char* title, bool problem);

    Form1& m_form;
    Services& m_services;
    QThreadPool m_pool;
    std::uint64_t m_latest = 0;
};

}  // namespace window
