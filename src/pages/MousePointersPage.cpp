#include "pages/MousePointersPage.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
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
}  // namespace

MousePointersPage::MousePointersPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                                     platform::PictureLoader& pictures, QWidget* parent)
    : QWidget(parent), m_theme(theme), m_dialog(dialog), m_pictures(pictures) {
    const QString hint =
        QStringLiteral("Pause the mouse pointer over each button to preview the cursor if any");
    m_image3 = place(new PictureBox(false, this), QStringLiteral("Image3"), hint,
                     onPage(600, 840, 855, 735));
    m_image3->setToolTip(hint);
    m_text4 = place(new QLineEdit(this), QStringLiteral("Text4"), QStringLiteral("Pointer file"),
                    onPage(2520, 960, 5655, 375));

    for (std::size_t i = 0; i < state::kPointerCount; ++i) {
        const QString caption = QString::fromUtf8(state::kPointerCaptions[i]);
        auto* button = place(new QPushButton(caption, this), QStringLiteral("Command10_%1").arg(i),
                             caption, onPage(kColumnLeft[kColumn[i]], kRowTop[kRow[i]], 1935, 495));
        // Move events without a pressed button arrive only with tracking on.
        button->setMouseTracking(true);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this,
                [this, i] { Command10_Click(static_cast<int>(i)); });
        m_command10[i] = button;
    }
}

bool MousePointersPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        for (std::size_t i = 0; i < m_command10.size(); ++i)
            if (watched == m_command10[i]) Command10_MouseMove(static_cast<int>(i));
    }
    return QWidget::eventFilter(watched, event);
}

void MousePointersPage::Command10_Click(int index) {
    // A cancelled pick keeps the earlier choice.
    pickTestThenStore(m_dialog, "Pointers(*.ani;*.cur)|*.cur;*.ani", state::kPointerPattern,
                      m_theme.pointerPaths[static_cast<std::size_t>(index)]);
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
    }
    if (animated) {
        m_text4->setText(QString::fromStdString(path));
        m_image3->showPicture(QImage());
    }
}

}  // namespace pages
