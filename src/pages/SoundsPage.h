// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <array>
#include <filesystem>

#include "pages/Slots.h"
#include "platform/CommonDialog.h"
#include "platform/WavePlayer.h"
#include "state/ThemeState.h"

class QFrame;
class QLabel;
class QToolButton;

namespace pages {

/// Page "Sounds": twenty sound buttons (Command11_0..19), the hint Label3 and the playback
/// control MMControl1 with its Play and Stop buttons. On a focused sound button Space or
/// Enter is the left press, the Menu key or Shift+F10 the right press.
class SoundsPage : public Page {
    Q_OBJECT
public:
    SoundsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
               platform::WavePlayer& player, QWidget* parent = nullptr);

    void showState() override;

    /// A mouse button went down on Command11(index): left picks, right previews.
    void Command11_MouseDown(int index, Qt::MouseButton button);
    /// Empties slot `index`.
    void clearSound(int index);
    /// A file dropped on a sound button, taken as if picked there.
    void dropSound(int index, const std::filesystem::path& hostFile);
    /// MMControl1's transport: Play replays the wave last opened, Stop silences it.
    void playAgain();
    void stop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOf(const QObject* button) const;
    void markSound(std::size_t index);
    void setWaveOpen(bool open);

    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::WavePlayer& m_player;
    QLabel* m_label3;
    QFrame* m_mmControl1;
    QToolButton* m_play;
    QToolButton* m_stop;
    std::array<SlotButton*, state::kSoundCount> m_command11{};
};

}  // namespace pages
