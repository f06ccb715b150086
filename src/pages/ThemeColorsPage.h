#pragma once

#include <QWidget>

#include "platform/CommonDialog.h"
#include "state/ThemeState.h"

class QFrame;
class QListWidget;
class QPushButton;

namespace pages {

class FrameBox;

/// Page "Theme Colors": the list of the 25 window elements (List1), the swatch of the
/// selected one (Picture1 in Frame2) and "Change color" (Command12).
class ThemeColorsPage : public QWidget {
    Q_OBJECT
public:
    ThemeColorsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                    QWidget* parent = nullptr);

    /// Selects a list entry as a click on it would; the window selects entry 0 at start-up.
    void selectEntry(int index);

    void List1_Click();
    void Command12_Click();

    /// Makes every control of the page show the current state (after a theme is opened or
    /// a new one started).
    void showState();

private:
    void paintSwatch(int index);

    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    QListWidget* m_list1;
    FrameBox* m_frame2;
    QFrame* m_picture1;
    QPushButton* m_command12;
};

}  // namespace pages
