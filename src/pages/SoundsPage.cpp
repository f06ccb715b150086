// SPDX-License-Identifier: MIT
#include "pages/SoundsPage.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>

#include "pages/Layout.h"
#include "pages/PickFile.h"

namespace pages {

namespace {
constexpr int kColumnLeft[4] = {720, 2280, 3840, 5400};
constexpr int kRowTop[5] = {1800, 2280, 2760, 3240, 3720};
constexpr std::string_view kFilter = "Wave files|*.wav|All sounds|*.wav;*.ogg;*.opus;*.flac;*.mp3";
}  // namespace

SoundsPage::SoundsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                       platform::WavePlayer& player, QWidget* parent)
    : Page(parent), m_theme(theme), m_dialog(dialog), m_player(player) {
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

    auto* drops = new FileDrops(
        [this](QWidget* button, const std::filesystem::path& file) {
            if (const int i = indexOf(button); i >= 0) dropSound(i, file);
        },
        this);
    // Filled column by column: index = 5 * column + row.
    for (std::size_t i = 0; i < state::kSoundCount; ++i) {
        const QString caption = QString::fromUtf8(state::kSoundCaptions[i]);
        auto* button = place(new SlotButton(caption, this), QStringLiteral("Command11_%1").arg(i),
                             caption + QStringLiteral(" sound"),
                             onPage(kColumnLeft[i / 5], kRowTop[i % 5], 1575, 495));
        button->installEventFilter(this);
        drops->watch(button);
        m_command11[i] = button;
    }

    m_mmControl1 = place(new QFrame(this), QStringLiteral("MMControl1"),
                         QStringLiteral("Sound playback"), onPage(7440, 1680, 900, 495));
    m_mmControl1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    // The control's own transport, as much of it as its width holds: Play and Stop.
    auto transport = [this](const char* name, const char* accessible, QStyle::StandardPixmap icon,
                            int half) {
        auto* button = new QToolButton(m_mmControl1);
        button->setObjectName(QString::fromLatin1(name));
        button->setAccessibleName(QString::fromLatin1(accessible));
        button->setToolTip(QString::fromLatin1(accessible));
        button->setIcon(style()->standardIcon(icon));
        button->setFocusPolicy(Qt::StrongFocus);
        const int w = m_mmControl1->width();
        button->setGeometry(half * w / 2, 0, (half + 1) * w / 2 - half * w / 2,
                            m_mmControl1->height());
        button->setEnabled(false);  // nothing is open yet
        return button;
    };
    m_play = transport("MMControl1Play", "Play sound", QStyle::SP_MediaPlay, 0);
    m_stop = transport("MMControl1Stop", "Stop sound", QStyle::SP_MediaStop, 1);
    connect(m_play, &QToolButton::clicked, this, &SoundsPage::playAgain);
    connect(m_stop, &QToolButton::clicked, this, &SoundsPage::stop);
}

int SoundsPage::indexOf(const QObject* button) const {
    for (std::size_t i = 0; i < m_command11.size(); ++i)
        if (button == m_command11[i]) return static_cast<int>(i);
    return -1;
}

bool SoundsPage::eventFilter(QObject* watched, QEvent* event) {
    const int i = indexOf(watched);
    if (i < 0) return Page::eventFilter(watched, event);
    switch (event->type()) {
        // A fast second press is a second press, which Qt reports as a double-click.
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            Command11_MouseDown(i, static_cast<QMouseEvent*>(event)->button());
            // The press is the whole gesture: the button must not stay pressed behind the
            // dialog, and a completed click does nothing further.
            return true;
        case QEvent::KeyPress:
            if (isActivateKey(event)) {
                Command11_MouseDown(i, Qt::LeftButton);
                return true;
            }
            if (isMenuKey(event)) {
                Command11_MouseDown(i, Qt::RightButton);
                return true;
            }
            if (isClearKey(event)) {
                clearSound(i);
                return true;
            }
            break;
        case QEvent::KeyRelease:
            // Its press was taken above: the button must not click on the release.
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) return true;
            break;
        case QEvent::ContextMenu:
            // The Menu key where the system sends it as a context menu request.
            if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
                Command11_MouseDown(i, Qt::RightButton);
                return true;
            }
            break;
        default:
            break;
    }
    return Page::eventFilter(watched, event);
}

void SoundsPage::Command11_MouseDown(int index, Qt::MouseButton button) {
    const auto slot = static_cast<std::size_t>(index);
    std::string& path = m_theme.soundPaths[slot];
    if (button == Qt::LeftButton) {
        // A cancelled pick keeps the earlier choice.
        if (!pickTestThenStore(m_dialog, kFilter, state::kSoundPattern, path)) return;
        markSound(slot);
        emit changed();
    } else if (button == Qt::RightButton && !path.empty()) {
        // Each step on its own: a file that does not open gives silence, and the "close"
        // has already stopped the previous preview.
        m_player.setCommand("close");
        m_player.setDeviceType("WaveAudio");
        m_player.setFileName(path);
        const bool opened = m_player.setCommand("open");
        m_player.setCommand("play");
        setWaveOpen(opened);
    }
}

void SoundsPage::dropSound(int index, const std::filesystem::path& hostFile) {
    const auto slot = static_cast<std::size_t>(index);
    auto path = dropFile(m_dialog, kFilter, state::kSoundPattern, hostFile);
    if (!path) return;
    m_theme.soundPaths[slot] = *path;
    markSound(slot);
    emit changed();
}

void SoundsPage::clearSound(int index) {
    const auto slot = static_cast<std::size_t>(index);
    if (m_theme.soundPaths[slot].empty()) return;
    m_theme.soundPaths[slot].clear();
    markSound(slot);
    emit changed();
}

void SoundsPage::playAgain() {
    // "play" on the open wave starts it again from its beginning.
    m_player.setCommand("play");
}

void SoundsPage::stop() {
    m_player.setCommand("stop");
}

void SoundsPage::setWaveOpen(bool open) {
    m_play->setEnabled(open);
    m_stop->setEnabled(open);
}

void SoundsPage::markSound(std::size_t index) {
    const bool chosen = state::holdsChoice(m_theme.soundPaths[index], state::kSoundPattern);
    m_command11[index]->setChosen(chosen);
    describeSlot(m_command11[index], QString(), m_theme.soundPaths[index], chosen);
}

void SoundsPage::showState() {
    for (std::size_t i = 0; i < m_command11.size(); ++i) markSound(i);
}

}  // namespace pages
