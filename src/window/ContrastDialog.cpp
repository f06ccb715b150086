// SPDX-License-Identifier: MIT
#include "window/ContrastDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace window {

namespace {
QString nameOf(std::size_t slot) {
    const auto name = state::kColorNames[slot];
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QString rgbText(state::Color c) {
    return QStringLiteral("%1 %2 %3").arg(state::red(c)).arg(state::green(c)).arg(state::blue(c));
}

// The text colour on its background, as a small sample to judge by eye.
QIcon sample(state::Color text, state::Color background) {
    QPixmap pixmap(32, 16);
    pixmap.fill(QColor(static_cast<int>(state::red(background)),
                       static_cast<int>(state::green(background)),
                       static_cast<int>(state::blue(background))));
    QPainter painter(&pixmap);
    painter.setPen(QColor(static_cast<int>(state::red(text)), static_cast<int>(state::green(text)),
                          static_cast<int>(state::blue(text))));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Abc"));
    painter.end();
    return QIcon(pixmap);
}
}  // namespace

ContrastDialog::ContrastDialog(const schemes::Colors& colors,
                               std::vector<schemes::ContrastProblem> problems, QWidget* parent)
    : QDialog(parent), m_problems(std::move(problems)) {
    setObjectName(QStringLiteral("ContrastDialog"));
    setWindowTitle(QStringLiteral("Check Contrast"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(
        QStringLiteral("These colors are hard to read on their background. Check the fixes to "
                       "apply: each moves the text color's lightness until it reads."),
        this);
    label->setWordWrap(true);
    layout->addWidget(label);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ContrastProblems"));
    m_list->setAccessibleName(QStringLiteral("Colors hard to read"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Text on background"), QStringLiteral("Contrast"),
                             QStringLiteral("Needs"), QStringLiteral("Suggested text color")});
    for (const auto& problem : m_problems) {
        const state::Color background = colors[problem.pair.background];
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, nameOf(problem.pair.text) + QStringLiteral(" on ") +
                             nameOf(problem.pair.background));
        item->setText(1, QStringLiteral("%1:1").arg(problem.ratio, 0, 'f', 2));
        item->setText(2, QStringLiteral("%1:1").arg(problem.pair.minimum, 0, 'f', 1));
        item->setIcon(0, sample(colors[problem.pair.text], background));
        item->setText(3, rgbText(problem.suggestion));
        item->setIcon(3, sample(problem.suggestion, background));
        item->setCheckState(0, Qt::Checked);
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_list);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* apply =
        buttons->addButton(QStringLiteral("&Apply Fixes"), QDialogButtonBox::AcceptRole);
    apply->setObjectName(QStringLiteral("ApplyFixes"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("CloseContrast"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 280);
}

std::vector<schemes::ContrastProblem> ContrastDialog::chosenFixes() const {
    std::vector<schemes::ContrastProblem> chosen;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->checkState(0) == Qt::Checked)
            chosen.push_back(m_problems[static_cast<std::size_t>(i)]);
    return chosen;
}

}  // namespace window
