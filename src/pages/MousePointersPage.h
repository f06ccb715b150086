#pragma once

#include <QWidget>
#include <array>

#include "platform/CommonDialog.h"
#include "platform/PictureLoader.h"
#include "state/ThemeState.h"

class QLineEdit;
class QPushButton;

namespace pages {

class PictureBox;

/// Page "Mouse Pointers": twelve pointer buttons (Command10_0..11), the preview Image3 and
/// the path box Text4.
class MousePointersPage : public QWidget {
    Q_OBJECT
public:
    MousePointersPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                      platform::PictureLoader& pictures, QWidget* parent = nullptr);

    /// Pointer pick for slot `index`: stored only when a file was chosen.
    void Command10_Click(int index);
    /// Preview of slot `index` on every mouse motion over its button.
    void Command10_MouseMove(int index);

    /// Makes every control of the page show the current state (after a theme is opened or
    /// a new one started).
    void showState();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::PictureLoader& m_pictures;
    PictureBox* m_image3;
    QLineEdit* m_text4;
    std::array<QPushButton*, state::kPointerCount> m_command10{};
};

}  // namespace pages
