// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "pages/Slots.h"
#include "platform/CommonDialog.h"
#include "state/ThemeState.h"

class QFrame;
class QListWidget;
class QPushButton;

namespace pages {

class FrameBox;

/// Page "Theme Colors": the list of the 25 window elements (List1), each with a swatch of its
/// colour, the swatch of the selected one (Picture1 in Frame2) and "Change color" (Command12).
/// The list always keeps one entry selected.
class ThemeColorsPage : public Page {
    Q_OBJECT
public:
    ThemeColorsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                    QWidget* parent = nullptr);

    void showState() override;

    /// Selects a list entry as a click on it would; the window selects entry 0 at start-up.
    void selectEntry(int index);

    /// A click on an element in the preview: one of the list's selects its entry; a Windows 98
    /// colour after them opens the colour dialog at once, since the list does not hold it.
    void elementClicked(int index);

    void List1_Click();
    void Command12_Click();

private:
    void paintSwatch(int index);
    void paintListSwatch(int index);
    void keepSelection();

    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    QListWidget* m_list1;
    FrameBox* m_frame2;
    QFrame* m_picture1;
    QPushButton* m_command12;
};

}  // namespace pages
