// SPDX-License-Identifier: MIT
#include "window/CheckWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

namespace window {
namespace {

constexpr int kFindingRole = Qt::UserRole;

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

CheckWindow::CheckWindow(QStringList pageCaptions, QWidget* parent)
    : QWidget(parent, Qt::Window), m_pages(std::move(pageCaptions)) {
    setObjectName(QStringLiteral("CheckWindow"));
    setWindowTitle(QStringLiteral("Check for Windows 98"));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("Summary"));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("Findings"));
    m_list->setAccessibleName(QStringLiteral("Findings"));
    m_list->setHeaderLabels({QStringLiteral("Slot"), QStringLiteral("File"),
                             QStringLiteral("Problem"), QStringLiteral("Windows"),
                             QStringLiteral("How bad"), QStringLiteral("Fix"), QString()});
    m_list->setRootIsDecorated(false);
    m_list->setWordWrap(true);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_list->setColumnWidth(0, 200);
    m_list->setColumnWidth(1, 130);
    m_list->setColumnWidth(3, 75);
    m_list->setColumnWidth(4, 95);
    m_list->setColumnWidth(5, 250);
    m_list->setColumnWidth(6, 80);
    connect(m_list, &QTreeWidget::itemActivated, this, &CheckWindow::choose);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CheckWindow::choose);
    layout->addWidget(m_list);
    // The whole of the current finding, which the columns may cut short.
    m_details = new QLabel(this);
    m_details->setObjectName(QStringLiteral("Details"));
    m_details->setWordWrap(true);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_details->setMinimumHeight(3 * fontMetrics().height());
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        const QVariant index = item ? item->data(0, kFindingRole) : QVariant();
        if (!index.isValid()) return m_details->clear();
        const auto& f = m_findings.at(static_cast<std::size_t>(index.toInt()));
        m_details->setText(text(compat::slotName(f.slot)) + ": " + text(f.file) + "\n" +
                           text(f.problem) + " (" + text(compat::severityText(f.severity)) +
                           " on Windows " + text(compat::windowsText(f.windows)) + ")\n" +
                           text(f.fix));
    });
    layout->addWidget(m_details);

    auto* buttons = new QHBoxLayout;
    auto* recheck = new QPushButton(QStringLiteral("Check &again"), this);
    recheck->setObjectName(QStringLiteral("Recheck"));
    connect(recheck, &QPushButton::clicked, this, &CheckWindow::recheckRequested);
    m_convertAll = new QPushButton(QStringLiteral("Convert &all"), this);
    m_convertAll->setObjectName(QStringLiteral("ConvertAll"));
    connect(m_convertAll, &QPushButton::clicked, this, [this] {
        std::vector<compat::Finding> convertible;
        for (const auto& f : m_findings)
            if (f.conversion != compat::Conversion::None) convertible.push_back(f);
        emit convertRequested(convertible);
    });
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(recheck);
    buttons->addStretch();
    buttons->addWidget(m_convertAll);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(1180, 460);
}

void CheckWindow::showFindings(const std::vector<compat::Finding>& findings) {
    m_findings = findings;
    m_list->clear();
    m_details->clear();
    std::size_t notShown = 0, convertible = 0;
    std::map<int, QTreeWidgetItem*> groups;  // by page index, so pages come in tab order
    for (const auto& f : findings) {
        const int page = compat::pageOf(f.slot);
        if (!groups.count(page)) {
            groups[page] = new QTreeWidgetItem({m_pages.value(page)});
            QFont bold = m_list->font();
            bold.setBold(true);
            groups[page]->setFont(0, bold);
        }
        notShown += f.severity == compat::Severity::WillNotShow;
        convertible += f.conversion != compat::Conversion::None;
    }
    for (auto& [page, group] : groups) {
        m_list->addTopLevelItem(group);
        group->setFirstColumnSpanned(true);
        group->setExpanded(true);
    }
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const auto& f = findings[i];
        auto* item =
            new QTreeWidgetItem(groups[compat::pageOf(f.slot)],
                                {text(compat::slotName(f.slot)), text(compat::fileNameOf(f.file)),
                                 text(f.problem), text(compat::windowsText(f.windows)),
                                 text(compat::severityText(f.severity)), text(f.fix)});
        item->setData(0, kFindingRole, static_cast<int>(i));
        item->setToolTip(1, text(f.file));
        item->setToolTip(2, text(f.problem));
        item->setToolTip(5, text(f.fix));
        if (f.conversion == compat::Conversion::None) continue;
        auto* convert = new QPushButton(QStringLiteral("Convert"), m_list);
        convert->setObjectName(QStringLiteral("Convert_%1").arg(i));
        convert->setAccessibleName(QStringLiteral("Convert ") + text(compat::slotName(f.slot)));
        connect(convert, &QPushButton::clicked, this,
                [this, i] { emit convertRequested({m_findings.at(i)}); });
        m_list->setItemWidget(item, 6, convert);
    }
    m_summary->setText(
        findings.empty()
            ? QStringLiteral("Windows 95 and 98 show every chosen file.")
            : QStringLiteral("%1 finding(s); %2 file(s) will not show on Windows 95 or 98. "
                             "Double-click a finding to go to its slot. \"Convert\" writes a "
                             "copy Windows 98 reads into the theme folder and chooses it; the "
                             "original is left as it is.")
                  .arg(findings.size())
                  .arg(notShown));
    m_convertAll->setEnabled(convertible > 0);
}

void CheckWindow::choose(QTreeWidgetItem* item) {
    const QVariant index = item ? item->data(0, kFindingRole) : QVariant();
    if (index.isValid())
        emit slotChosen(m_findings.at(static_cast<std::size_t>(index.toInt())).slot);
}

}  // namespace window
