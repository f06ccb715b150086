// SPDX-License-Identifier: MIT
#include "pages/DesktopIconsPage.h"

#include <QLabel>

#include "pages/Layout.h"
#include "pages/PickFile.h"
#include "pages/PictureBox.h"

namespace pages {

namespace {
const QString kIconHint = QStringLiteral("Double Click the picture box to select/change icons");
constexpr std::string_view kFilter =
    "Icon files|*.ico|All pictures|*.ico;*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg";

struct IconSlot {
    const char* box;
    QRect label;
    QRect picture;
};
// By slot: the caption Label1(slot) and the box beside it.
constexpr IconSlot kSlots[state::kIconCount] = {
    {"Image1", {360, 1440, 1695, 495}, {2040, 1200, 1215, 1095}},
    {"Image5", {360, 2880, 1695, 495}, {2040, 2880, 1215, 1095}},
    {"Image4", {3960, 1440, 1695, 495}, {6240, 1200, 1215, 1095}},
    {"Image6", {3960, 2880, 1695, 495}, {6240, 2880, 1215, 1095}},
};
}  // namespace

DesktopIconsPage::DesktopIconsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                                   platform::PictureLoader& pictures, QWidget* parent)
    : Page(parent), m_theme(theme), m_dialog(dialog), m_pictures(pictures) {
    auto* drops = new FileDrops(
        [this](QWidget* box, const std::filesystem::path& file) {
            for (std::size_t slot = 0; slot < m_boxes.size(); ++slot)
                if (box == m_boxes[slot]) dropIcon(slot, file);
        },
        this);
    for (std::size_t slot = 0; slot < state::kIconCount; ++slot) {
        const IconSlot& s = kSlots[slot];
        const QString caption = QString::fromUtf8(state::kIconCaptions[slot]);
        auto* label = new QLabel(caption, this);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        place(label, QStringLiteral("Label1_%1").arg(slot), caption,
              onPage(s.label.x(), s.label.y(), s.label.width(), s.label.height()));
        auto* box = new PictureBox(true, this);
        box->setToolTip(kIconHint);
        box->setEmptyText(kIconHint);
        place(box, QString::fromLatin1(s.box), caption + QStringLiteral(" icon"),
              onPage(s.picture.x(), s.picture.y(), s.picture.width(), s.picture.height()));
        box->makeSlot();
        drops->watch(box);
        m_boxes[slot] = box;
        connect(box, &PictureBox::activated, this, [this, slot] { pickIcon(slot); });
        connect(box, &PictureBox::clearRequested, this, [this, slot] { clearIcon(slot); });
    }
    connect(m_boxes[0], &PictureBox::doubleClicked, this, &DesktopIconsPage::Image1_DblClick);
    connect(m_boxes[1], &PictureBox::doubleClicked, this, &DesktopIconsPage::Image5_DblClick);
    connect(m_boxes[2], &PictureBox::doubleClicked, this, &DesktopIconsPage::Image4_DblClick);
    connect(m_boxes[3], &PictureBox::clicked, this, &DesktopIconsPage::Image6_Click);
}

void DesktopIconsPage::Image1_DblClick() {
    pickIcon(0);
}
void DesktopIconsPage::Image5_DblClick() {
    pickIcon(1);
}
void DesktopIconsPage::Image4_DblClick() {
    pickIcon(2);
}
void DesktopIconsPage::Image6_Click() {
    pickIcon(3);
}

void DesktopIconsPage::pickIcon(std::size_t slot) {
    if (!pickTestThenStore(m_dialog, kFilter, state::kIconPattern, m_theme.iconPaths[slot])) return;
    previewIcon(slot);
    emit changed();
}

void DesktopIconsPage::dropIcon(std::size_t slot, const std::filesystem::path& hostFile) {
    auto path = dropFile(m_dialog, kFilter, state::kIconPattern, hostFile);
    if (!path) return;
    m_theme.iconPaths[slot] = *path;
    previewIcon(slot);
    emit changed();
}

void DesktopIconsPage::clearIcon(std::size_t slot) {
    if (m_theme.iconPaths[slot].empty()) return;
    m_theme.iconPaths[slot].clear();
    m_boxes[slot]->showPicture(QImage());
    markIcon(slot);
    emit changed();
}

void DesktopIconsPage::previewIcon(std::size_t slot) {
    // A file that does not load as a picture keeps the slot but leaves the box as it was.
    if (auto picture = m_pictures.load(m_theme.iconPaths[slot], m_boxes[slot]->decodeSize()))
        m_boxes[slot]->showPicture(*picture);
    markIcon(slot);
}

void DesktopIconsPage::markIcon(std::size_t slot) {
    const bool chosen = state::holdsChoice(m_theme.iconPaths[slot], state::kIconPattern);
    m_boxes[slot]->setChosen(chosen);
    describeSlot(m_boxes[slot], kIconHint, m_theme.iconPaths[slot], chosen);
}

void DesktopIconsPage::showState() {
    for (std::size_t slot = 0; slot < m_boxes.size(); ++slot) {
        const std::string& path = m_theme.iconPaths[slot];
        std::optional<QImage> picture;
        if (state::holdsChoice(path, state::kIconPattern))
            picture = m_pictures.load(path, m_boxes[slot]->decodeSize());
        m_boxes[slot]->showPicture(picture.value_or(QImage()));
        markIcon(slot);
    }
}

}  // namespace pages
