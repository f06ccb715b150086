#include "pages/SoundsPage.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "pages/Layout.h"
#include "pages/PickFile.h"

namespace pages {

namespace {
constexpr int kColumnLeft[4] = {720, 2280, 3840, 5400};
constexpr int kRowTop[5] = {1800, 2280, 2760, 3240, 3720};
}  // namespace

SoundsPage::SoundsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                       platform::WavePlayer& player, QWidget* parent)
    : QWidget(parent), m_theme(theme), m_dialog(dialog), m_player(player) {
    const QString hint =
        QStringLiteral("Left click to select wave file; right click to preview wave file");
    m_label3 =
        place(new QLabel(hint, this), QStringLiteral("Label3"), hint, onPage(960, 1080, 6255, 495));
    QFont bold = m_label3->font();
    bold.setPointSizeF(9.75);
    bold.setBold(true);
    m_label3->setFont(bold);
    m_label3->setWordWrap(true);
    m_label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Filled column by column: index = 5 * column + row.
    for (std::size_t i = 0; i < state::kSoundCount; ++i) {
        const QString caption = QString::fromUtf8(state::kSoundCaptions[i]);
        auto* button = place(new QPushButton(caption, this), QStringLiteral("Command11_%1").arg(i),
                             caption, onPage(kColumnLeft[i / 5], kRowTop[i % 5], 1575, 495));
        button->installEventFilter(this);
        m_command11[i] = button;
    }

    m_mmControl1 = place(new QFrame(this), QStringLiteral("MMControl1"),
                         QStringLiteral("Sound playback"), onPage(7440, 1680, 900, 495));
    m_mmControl1->setFrameStyle(QFrame::Panel | QFrame::Raised);
}

bool SoundsPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const auto button = static_cast<QMouseEvent*>(event)->button();
        for (std::size_t i = 0; i < m_command11.size(); ++i) {
            if (watched != m_command11[i]) continue;
            Command11_MouseDown(static_cast<int>(i), button);
            // The press is the whole gesture: the button must not stay pressed behind the
            // dialog, and a completed click does nothing further.
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SoundsPage::Command11_MouseDown(int index, Qt::MouseButton button) {
    std::string& slot = m_theme.soundPaths[static_cast<std::size_t>(index)];
    if (button == Qt::LeftButton) {
        // Stored as answered: a cancel leaves the pattern in the slot.
        slot = pickFile(m_dialog, "Wave files|*.wav", state::kSoundPattern);
    } else if (button == Qt::RightButton && !slot.empty()) {
        // Each step on its own: a file that does not open gives silence, and the "close"
        // has already stopped the previous preview.
        m_player.setCommand("close");
        m_player.setDeviceType("WaveAudio");
        m_player.setFileName(slot);
        m_player.setCommand("open");
        m_player.setCommand("play");
    }
}

void SoundsPage::showState() {}

}  // namespace pages
