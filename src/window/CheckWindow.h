// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

#include "compat/Check.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace window {

/// Tools > Check for Windows 98: a non-modal list of the check's findings, grouped by the page
/// that holds each slot. Choosing a finding asks for its slot; "Convert" (per finding that has
/// a conversion) and "Convert all" ask for conversions. It only shows; its owner acts.
class CheckWindow : public QWidget {
    Q_OBJECT
public:
    /// `pageCaptions` are the tab captions, by page index.
    CheckWindow(QStringList pageCaptions, QWidget* parent);

    /// Shows these findings in place of the last ones.
    void showFindings(const std::vector<compat::Finding>& findings);
    const std::vector<compat::Finding>& findings() const { return m_findings; }
    QTreeWidget* list() const { return m_list; }

signals:
    /// The user chose a finding (double-click or Enter): show its slot.
    void slotChosen(compat::Slot slot);
    /// The user asked to convert these findings' files.
    void convertRequested(std::vector<compat::Finding> findings);
    /// The user asked to check again.
    void recheckRequested();

private:
    void choose(QTreeWidgetItem* item);
    QStringList m_pages;
    std::vector<compat::Finding> m_findings;
    QLabel* m_summary;
    QLabel* m_details;
    QTreeWidget* m_list;
    QPushButton* m_convertAll;
};

}  // namespace window
