// SPDX-License-Identifier: MIT
#include "pages/ThemeColorsPage.h"

#include <QFrame>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "pages/FrameBox.h"
#include "pages/Layout.h"

namespace pages {

namespace {
bool validIndex(int index) {
    return index >= 0 && index < static_cast<int>(state::kColorCount);
}

QColor qcolor(state::Color c) {
    return QColor(static_cast<int>(state::red(c)), static_cast<int>(state::green(c)),
                  static_cast<int>(state::blue(c)));
}

/// The colour in words, for a screen reader.
QString describe(state::Color c) {
    return QStringLiteral("Red %1, green %2, blue %3")
        .arg(state::red(c))
        .arg(state::green(c))
        .arg(state::blue(c));
}
}  // namespace

ThemeColorsPage::ThemeColorsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                                 QWidget* parent)
    : Page(parent), m_theme(theme), m_dialog(dialog) {
    m_list1 = place(new QListWidget(this), QStringLiteral("List1"),
                    QStringLiteral("Window elements"), onPage(480, 960, 4455, 3375));
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const auto name : state::kColorNames) m_list1->addItem(QString::fromUtf8(name));
    for (int i = 0; i < m_list1->count(); ++i) paintListSwatch(i);

    m_frame2 = place(new FrameBox(QStringLiteral("Color"), this), QStringLiteral("Frame2"),
                     QStringLiteral("Color"), onPage(5520, 1080, 2775, 975));
    m_picture1 = place(new QFrame(m_frame2), QStringLiteral("Picture1"),
                       QStringLiteral("Colour of the selected element"), at(120, 240, 2535, 615));
    m_picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_picture1->setAutoFillBackground(true);

    m_command12 =
        place(new QPushButton(QStringLiteral("Change color"), this), QStringLiteral("Command12"),
              QStringLiteral("Change color"), onPage(6000, 2880, 1815, 615));

    // Selection by mouse, keyboard or selectEntry all come through here, as one click.
    connect(m_list1, &QListWidget::currentRowChanged, this, &ThemeColorsPage::List1_Click);
    // Ctrl+click would leave no entry selected while "Change color" still changes one.
    connect(m_list1, &QListWidget::itemSelectionChanged, this, &ThemeColorsPage::keepSelection);
    connect(m_command12, &QPushButton::clicked, this, &ThemeColorsPage::Command12_Click);
}

void ThemeColorsPage::selectEntry(int index) {
    m_list1->setCurrentRow(index);
}

void ThemeColorsPage::keepSelection() {
    if (!m_list1->selectedItems().isEmpty() || !validIndex(m_list1->currentRow())) return;
    m_list1->item(m_list1->currentRow())->setSelected(true);
}

void ThemeColorsPage::List1_Click() {
    paintSwatch(m_list1->currentRow());
}

void ThemeColorsPage::Command12_Click() {
    const int index = m_list1->currentRow();
    if (!validIndex(index)) return;
    const auto slot = static_cast<std::size_t>(index);
    // The dialog opens at the element's colour, so a cancel gives that colour back unchanged.
    m_dialog.Color = m_theme.colors[slot];
    // The custom colours offer the scheme in use: each of its colours once, in list order.
    m_dialog.CustomColors.clear();
    for (const state::Color c : m_theme.colors)
        if (std::find(m_dialog.CustomColors.begin(), m_dialog.CustomColors.end(), c) ==
            m_dialog.CustomColors.end())
            m_dialog.CustomColors.push_back(c);
    m_dialog.ShowColor();
    const state::Color chosen = m_dialog.Color & 0xFFFFFFu;
    if (chosen == m_theme.colors[slot]) return;
    m_theme.colors[slot] = chosen;
    paintSwatch(index);
    paintListSwatch(index);
    emit changed();
}

void ThemeColorsPage::paintSwatch(int index) {
    if (!validIndex(index)) return;
    const state::Color c = m_theme.colors[static_cast<std::size_t>(index)];
    QPalette palette = m_picture1->palette();
    palette.setColor(QPalette::Window, qcolor(c));
    m_picture1->setPalette(palette);
    m_picture1->setAccessibleDescription(describe(c));
}

void ThemeColorsPage::paintListSwatch(int index) {
    if (!validIndex(index)) return;
    const state::Color c = m_theme.colors[static_cast<std::size_t>(index)];
    const int side = m_list1->fontMetrics().height() - 2;
    QPixmap swatch(side, side);
    swatch.fill(qcolor(c));
    QPainter frame(&swatch);
    frame.setPen(Qt::black);
    frame.drawRect(0, 0, side - 1, side - 1);
    frame.end();
    QListWidgetItem* item = m_list1->item(index);
    item->setIcon(QIcon(swatch));
    item->setToolTip(describe(c));
}

void ThemeColorsPage::showState() {
    for (int i = 0; i < m_list1->count(); ++i) paintListSwatch(i);
    paintSwatch(m_list1->currentRow());
}

}  // namespace pages
