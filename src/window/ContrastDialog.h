// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <vector>

#include "schemes/Contrast.h"

class QTreeWidget;

namespace window {

/// Lists the colour pairs that read too poorly, each with the text colour that would fix it
/// and a check box (checked at first); "Apply Fixes" accepts with the checked fixes.
class ContrastDialog : public QDialog {
    Q_OBJECT
public:
    /// The problems of these colours (schemes::contrastProblems).
    ContrastDialog(const schemes::Colors& colors, std::vector<schemes::ContrastProblem> problems,
                   QWidget* parent);

    /// The problems whose fix is checked.
    std::vector<schemes::ContrastProblem> chosenFixes() const;

private:
    std::vector<schemes::ContrastProblem> m_problems;
    QTreeWidget* m_list;
};

}  // namespace window
