// SPDX-License-Identifier: MIT
#include "pages/MousePointersPage.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <string_view>

#include "pages/Layout.h"
#include "pages/PickFile.h"
#include "pages/PictureBox.h"

namespace pages {

namespace {
// Grid of the buttons: columns filled top to bottom for 0..8, the fourth row holds 9..11.
constexpr int kColumnLeft[3] = {840, 3120, 5640};
constexpr int kRowTop[4] = {1680, 2400, 3120, 3840};
constexpr int kColumn[state::kPointerCount] = {0, 0, 0, 1, 1, 1, 2, 2, 2, 0, 1, 2};
constexpr int kRow[state::kPointerCount] = {0, 1, 2, 0, 1, 2, 0, 1, 2, 3, 3, 3};
constexpr std::string_view kFilter =
    "Pointers(*.ani;*.cur)|*.cur;*.ani|All "
    "pictures|*.cur;*.ani;*.ico;*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg";

/// "Normal Select..." becomes "Normal Select pointer".
QString pointerName(std::string_view caption) {
    QString name = QString::fromUtf8(caption);
    while (name.endsWith(QLatin1Char('.'))) name.chop(1);
    return name.trimmed() + QStringLiteral(" pointer");
}
}  // namespace

MousePointersPage::MousePointersPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                                     platform::PictureLoader& pictures, QWidget* parent)
    : Page(parent), m_theme(theme), m_dialog(dialog), m_pictures(pictures) {
    const QString hint =
        QStringLiteral("Pause the mouse pointer over each button to preview the cursor if any");
    m_image3 = place(new PictureBox(false, this), QStringLiteral("Image3"),
                     QStringLiteral("Pointer preview"), onPage(600, 840, 855, 735));
    m_image3->setToolTip(hint);
    m_text4 = place(new QLineEdit(this), QStringLiteral("Text4"), QStringLiteral("Pointer file"),
                    onPage(2520, 960, 5655, 375));

    auto* drops = new FileDrops(
        [this](QWidget* button, const std::filesystem::path& file) {
            if (const int i = indexOf(button); i >= 0) dropPointer(i, file);
        },
        this);
    for (std::size_t i = 0; i < state::kPointerCount; ++i) {
        const QString caption = QString::fromUtf8(state::kPointerCaptions[i]);
        auto* button = place(new SlotButton(caption, this), QStringLiteral("Command10_%1").arg(i),
                             pointerName(state::kPointerCaptions[i]),
                             onPage(kColumnLeft[kColumn[i]], kRowTop[kRow[i]], 1935, 495));
        // Move events without a pressed button arrive only with tracking on.
        button->setMouseTracking(true);
        button->installEventFilter(this);
        drops->watch(button);
        connect(button, &QPushButton::clicked, this,
                [this, i] { Command10_Click(static_cast<int>(i)); });
        m_command10[i] = button;
    }
}

int MousePointersPage::indexOf(const QObject* button) const {
    for (std::size_t i = 0; i < m_command10.size(); ++i)
        if (button == m_command10[i]) return static_cast<int>(i);
    return -1;
}

bool MousePointersPage::eventFilter(QObject* watched, QEvent* event) {
    const int i = indexOf(watched);
    if (i >= 0) {
        switch (event->type()) {
            case QEvent::MouseMove:
            case QEvent::FocusIn:  // the keyboard's hover
                Command10_MouseMove(i);
                break;
            case QEvent::KeyPress:
                if (isClearKey(event)) {
                    clearPointer(i);
                    return true;
                }
                // Space clicks a button already; Enter does so here too.
                if (isActivateKey(event) &&
                    static_cast<QKeyEvent*>(event)->key() != Qt::Key_Space) {
                    Command10_Click(i);
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return Page::eventFilter(watched, event);
}

void MousePointersPage::Command10_Click(int index) {
    const auto slot = static_cast<std::size_t>(index);
    // A cancelled pick keeps the earlier choice.
    if (!pickTestThenStore(m_dialog, kFilter, state::kPointerPattern, m_theme.pointerPaths[slot]))
        return;
    markPointer(slot);
    emit changed();
}

void MousePointersPage::dropPointer(int index, const std::filesystem::path& hostFile) {
    const auto slot = static_cast<std::size_t>(index);
    auto path = dropFile(m_dialog, kFilter, state::kPointerPattern, hostFile);
    if (!path) return;
    m_theme.pointerPaths[slot] = *path;
    markPointer(slot);
    emit changed();
}

void MousePointersPage::clearPointer(int index) {
    const auto slot = static_cast<std::size_t>(index);
    if (m_theme.pointerPaths[slot].empty()) return;
    m_theme.pointerPaths[slot].clear();
    if (m_previewed == index) {
        m_image3->showPicture(QImage());
        m_text4->clear();
        m_previewed = -1;
    }
    markPointer(slot);
    emit changed();
}

void MousePointersPage::Command10_MouseMove(int index) {
    const std::string& path = m_theme.pointerPaths[static_cast<std::size_t>(index)];
    // Animated cursors are marked by their last three characters, compared exactly: ".ANI"
    // takes the picture branch and simply fails to load.
    const bool animated = std::string_view(path).ends_with("ani");
    if (!path.empty() && !animated) {
        // A file that does not load leaves the box as it was.
        Decoded& kept = m_decoded[static_cast<std::size_t>(index)];
        const auto stamp = m_pictures.stamp(path);
        if (stamp && kept.path == path && kept.stamp == *stamp) {
            if (m_image3->picture().constBits() != kept.picture.constBits())
                m_image3->showPicture(kept.picture);
        } else if (auto picture = m_pictures.load(path)) {
            m_image3->showPicture(*picture);
            kept = stamp ? Decoded{path, *stamp, *picture} : Decoded{};
        }
        const QString text = QString::fromStdString(path);
        if (m_text4->text() != text) m_text4->setText(text);  // a move repeats it
        m_previewed = index;
    }
    if (animated) {
        m_text4->setText(QString::fromStdString(path));
        m_image3->showPicture(QImage());
        m_previewed = index;
    }
}

void MousePointersPage::markPointer(std::size_t index) {
    const bool chosen = state::holdsChoice(m_theme.pointerPaths[index], state::kPointerPattern);
    m_command10[index]->setChosen(chosen);
    describeSlot(m_command10[index], QString(), m_theme.pointerPaths[index], chosen);
}

void MousePointersPage::showState() {
    for (std::size_t i = 0; i < m_command10.size(); ++i) markPointer(i);
    // The preview shows a slot again at the next hover or focus.
    m_image3->showPicture(QImage());
    m_text4->clear();
    m_previewed = -1;
}

}  // namespace pages
