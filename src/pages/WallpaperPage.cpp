#include "pages/WallpaperPage.h"

#include <QCheckBox>

#include "pages/AsyncPreview.h"
#include "pages/Layout.h"
#include "pages/PickFile.h"
#include "pages/PictureBox.h"

namespace pages {

WallpaperPage::WallpaperPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                             platform::PictureLoader& pictures, QWidget* parent)
    : QWidget(parent), m_theme(theme), m_dialog(dialog), m_pictures(pictures) {
    const QString hint = QStringLiteral("Double Click the picture box to select/change wallpaper");
    m_image2 = place(new PictureBox(true, this), QStringLiteral("Image2"), hint,
                     onPage(1080, 840, 4935, 3495));
    m_image2->setToolTip(hint);
    m_preview2 = new AsyncPreview(m_image2, m_pictures);

    const QString caption = QStringLiteral("Tile the image ");
    m_check1 = place(new QCheckBox(caption, this), QStringLiteral("Check1"), caption,
                     onPage(6240, 2280, 2175, 495));

    connect(m_image2, &PictureBox::doubleClicked, this, &WallpaperPage::Image2_DblClick);
    connect(m_check1, &QCheckBox::toggled, this, &WallpaperPage::Check1_Click);
}

void WallpaperPage::Image2_DblClick() {
    if (!pickStoreThenTest(m_dialog, "Jpeg files", state::kWallpaperPattern, m_theme.wallpaperPath))
        return;
    // Decoded at the box's size, a big file on a worker: a photograph of many megapixels is
    // never held whole, and the window never waits for it.
    m_preview2->show(m_theme.wallpaperPath, m_image2->decodeSize());
}

void WallpaperPage::Check1_Click() {
    m_theme.tileWallpaper = m_check1->isChecked();
}

}  // namespace pages
