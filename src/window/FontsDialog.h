// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <array>

#include "state/ThemeState.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;

namespace window {

class Form1;

/// The six fonts of the theme's [Metrics]: caption, small caption, menu, status bar and
/// tooltip, message box (NONCLIENTMETRICS) and icon title (ICONMETRICS), each with its face,
/// size in points, bold and italic. OK writes what was changed into the same records.
class FontsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFontCount = 6;

    /// Adds View > Fonts...: the dialog for the window's theme, whose OK is one change of the
    /// Edit menu's history ("Fonts").
    static QAction* addMenuItem(QMenu* view, Form1& form);

    FontsDialog(const state::ThemeState& theme, QWidget* parent);

    /// `theme` with the fonts the user changed here written into its [Metrics] records; every
    /// field and byte the user did not change stays as it is.
    state::ThemeState applyTo(state::ThemeState theme) const;

private:
    struct Row {
        QComboBox* face;
        QSpinBox* size;
        QCheckBox* bold;
        QCheckBox* italic;
        // What the row showed at first, to tell a change from a font left alone.
        QString shownFace;
        int shownSize;
        bool shownBold;
        bool shownItalic;
    };
    /// Refuses a face Windows cannot hold in a LOGFONTA: says why and disables OK.
    void checkFaces();

    std::array<Row, kFontCount> m_rows{};
    QLabel* m_problem;
    QPushButton* m_ok;
};

}  // namespace window
