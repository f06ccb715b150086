// SPDX-License-Identifier: MIT
#include "pages/WallpaperPage.h"

#include <QCheckBox>
#include <QSignalBlocker>

#include "pages/AsyncPreview.h"
#include "pages/Layout.h"
#include "pages/PickFile.h"
#include "pages/PictureBox.h"

namespace pages {

namespace {
const QString kHint = QStringLiteral("Double Click the picture box to select/change wallpaper");
// Wallpapers of those systems are mostly bitmaps, so the dialog offers them after the JPEGs.
constexpr std::string_view kFilter =
    "Jpeg files|*.jpg|Windows bitmaps|*.bmp|All "
    "pictures|*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg;*.tif;*.tiff";
}  // namespace

WallpaperPage::WallpaperPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                             platform::PictureLoader& pictures, QWidget* parent)
    : Page(parent), m_theme(theme), m_dialog(dialog), m_pictures(pictures) {
    m_image2 = place(new PictureBox(true, this), QStringLiteral("Image2"),
                     QStringLiteral("Wallpaper picture"), onPage(1080, 840, 4935, 3495));
    m_image2->setToolTip(kHint);
    m_image2->setEmptyText(kHint);
    m_image2->makeSlot();
    auto* drops = new FileDrops(
        [this](QWidget*, const std::filesystem::path& file) { dropWallpaper(file); }, this);
    drops->watch(m_image2);
    m_preview2 = new AsyncPreview(m_image2, m_pictures);

    const QString caption = QStringLiteral("Tile the image ");
    m_check1 = place(new QCheckBox(caption, this), QStringLiteral("Check1"), caption,
                     onPage(6240, 2280, 2175, 495));

    connect(m_image2, &PictureBox::doubleClicked, this, &WallpaperPage::Image2_DblClick);
    connect(m_image2, &PictureBox::activated, this, &WallpaperPage::Image2_DblClick);
    connect(m_image2, &PictureBox::clearRequested, this, &WallpaperPage::clearWallpaper);
    connect(m_check1, &QCheckBox::toggled, this, &WallpaperPage::Check1_Click);
}

void WallpaperPage::Image2_DblClick() {
    if (!pickTestThenStore(m_dialog, kFilter, state::kWallpaperPattern, m_theme.wallpaperPath))
        return;
    previewWallpaper();
    emit changed();
}

void WallpaperPage::dropWallpaper(const std::filesystem::path& hostFile) {
    auto path = dropFile(m_dialog, kFilter, state::kWallpaperPattern, hostFile);
    if (!path) return;
    m_theme.wallpaperPath = *path;
    previewWallpaper();
    emit changed();
}

void WallpaperPage::clearWallpaper() {
    if (m_theme.wallpaperPath.empty()) return;
    m_theme.wallpaperPath.clear();
    m_preview2->show(std::string(), m_image2->decodeSize());  // voids a decode under way
    markWallpaper();
    emit changed();
}

void WallpaperPage::Check1_Click() {
    m_theme.tileWallpaper = m_check1->isChecked();
    emit changed();
}

void WallpaperPage::previewWallpaper() {
    // Decoded at the box's size, a big file on a worker: a photograph of many megapixels is
    // never held whole, and the window never waits for it. A file that does not load leaves
    // the box as it was.
    m_preview2->show(m_theme.wallpaperPath, m_image2->decodeSize());
    markWallpaper();
}

void WallpaperPage::markWallpaper() {
    const bool chosen = state::holdsChoice(m_theme.wallpaperPath, state::kWallpaperPattern);
    m_image2->setChosen(chosen);
    describeSlot(m_image2, kHint, m_theme.wallpaperPath, chosen);
}

void WallpaperPage::showState() {
    // An opened theme shows before its wallpaper is decoded: a big one arrives from the
    // worker, and a request still under way for the theme before is void.
    m_image2->showPicture(QImage());
    const bool chosen = state::holdsChoice(m_theme.wallpaperPath, state::kWallpaperPattern);
    m_preview2->show(chosen ? m_theme.wallpaperPath : std::string(), m_image2->decodeSize());
    markWallpaper();
    const QSignalBlocker quiet(m_check1);
    m_check1->setChecked(m_theme.tileWallpaper);
}

}  // namespace pages
