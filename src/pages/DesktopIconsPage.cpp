#include "pages/DesktopIconsPage.h"

#include <QLabel>

#include "pages/Layout.h"
#include "pages/PickFile.h"
#include "pages/PictureBox.h"

namespace pages {

namespace {
const QString kIconHint = QStringLiteral("Double Click the picture box to select/change icons");

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
    : QWidget(parent), m_theme(theme), m_dialog(dialog), m_pictures(pictures) {
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
        place(box, QString::fromLatin1(s.box), kIconHint,
              onPage(s.picture.x(), s.picture.y(), s.picture.width(), s.picture.height()));
        m_boxes[slot] = box;
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
    std::string& path = m_theme.iconPaths[slot];
    if (!pickStoreThenTest(m_dialog, "Icon files", state::kIconPattern, path)) return;
    // A file that does not load as a picture keeps the slot but leaves the box as it was.
    if (auto picture = m_pictures.load(path, m_boxes[slot]->decodeSize()))
        m_boxes[slot]->showPicture(*picture);
}

void DesktopIconsPage::showState() {
    for (std::size_t slot = 0; slot < state::kIconCount; ++slot) {
        const auto picture = m_pictures.load(m_theme.iconPaths[slot], m_boxes[slot]->decodeSize());
        m_boxes[slot]->showPicture(picture ? *picture : QImage());
    }
}

}  // namespace pages
