#pragma once

#include <QWidget>

#include "platform/CommonDialog.h"
#include "platform/PictureLoader.h"
#include "state/ThemeState.h"

class QCheckBox;

namespace pages {

class AsyncPreview;
class PictureBox;

/// Page "Wallpaper": the wallpaper picture (double-click Image2) and the tile flag (Check1).
class WallpaperPage : public QWidget {
    Q_OBJECT
public:
    WallpaperPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                  platform::PictureLoader& pictures, QWidget* parent = nullptr);

    void Image2_DblClick();
    void Check1_Click();

private:
    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::PictureLoader& m_pictures;
    PictureBox* m_image2;
    AsyncPreview* m_preview2;  // fills m_image2
    QCheckBox* m_check1;
};

}  // namespace pages
