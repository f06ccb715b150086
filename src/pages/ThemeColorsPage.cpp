#include "pages/ThemeColorsPage.h"

#include <QFrame>
#include <QListWidget>
#include <QPushButton>

#include "pages/FrameBox.h"
#include "pages/Layout.h"

namespace pages {

namespace {
bool validIndex(int index) {
    return index >= 0 && index < static_cast<int>(state::kColorCount);
}
}  // namespace

ThemeColorsPage::ThemeColorsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                                 QWidget* parent)
    : QWidget(parent), m_theme(theme), m_dialog(dialog) {
    m_list1 = place(new QListWidget(this), QStringLiteral("List1"),
                    QStringLiteral("Window elements"), onPage(480, 960, 4455, 3375));
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const auto name : state::kColorNames) m_list1->addItem(QString::fromUtf8(name));

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
    connect(m_command12, &QPushButton::clicked, this, &ThemeColorsPage::Command12_Click);
}

void ThemeColorsPage::selectEntry(int index) {
    m_list1->setCurrentRow(index);
}

void ThemeColorsPage::List1_Click() {
    paintSwatch(m_list1->currentRow());
}

void ThemeColorsPage::Command12_Click() {
    m_dialog.ShowColor();
    // The dialog's current colour is stored however the dialog was closed: after a cancel it
    // is the colour last confirmed in this run, for any element (black before the first).
    const int index = m_list1->currentRow();
    if (!validIndex(index)) return;
    m_theme.colors[static_cast<std::size_t>(index)] = m_dialog.Color & 0xFFFFFFu;
    paintSwatch(m_list1->currentRow());
}

void ThemeColorsPage::paintSwatch(int index) {
    if (!validIndex(index)) return;
    const state::Color c = m_theme.colors[static_cast<std::size_t>(index)];
    QPalette palette = m_picture1->palette();
    palette.setColor(QPalette::Window,
                     QColor(static_cast<int>(state::red(c)), static_cast<int>(state::green(c)),
                            static_cast<int>(state::blue(c))));
    m_picture1->setPalette(palette);
}

void ThemeColorsPage::showState() {
    paintSwatch(m_list1->currentRow());
}

}  // namespace pages
