#pragma once

#include <QWidget>
#include <array>

#include "platform/CommonDialog.h"
#include "platform/WavePlayer.h"
#include "state/ThemeState.h"

class QFrame;
class QLabel;
class QPushButton;

namespace pages {

/// Page "Sounds": twenty sound buttons (Command11_0..19), the hint Label3 and the playback
/// control MMControl1.
class SoundsPage : public QWidget {
    Q_OBJECT
public:
    SoundsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
               platform::WavePlayer& player, QWidget* parent = nullptr);

    /// A mouse button went down on Command11(index): left picks, right previews.
    void Command11_MouseDown(int index, Qt::MouseButton button);

    /// Makes every control of the page show the current state (after a theme is opened or
    /// a new one started).
    void showState();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::WavePlayer& m_player;
    QLabel* m_label3;
    QFrame* m_mmControl1;
    std::array<QPushButton*, state::kSoundCount> m_command11{};
};

}  // namespace pages
