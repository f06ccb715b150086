// SPDX-License-Identifier: MIT
#include "pages/AboutPage.h"

#include <QPlainTextEdit>

#include "pages/Layout.h"

namespace pages {

QString AboutPage::text() {
    return QStringLiteral(
        "Skinsmith for Microsoft Plus!\n"
        "\n"
        "Programmed by \n"
        "The Skinsmith developers\n"
        "https://skinsmith.example.org\n"
        "\n"
        "Requirements\n"
        "Windows 95/98\n"
        "Microsoft Plus!/98 Plus");
}

AboutPage::AboutPage(QWidget* parent) : Page(parent) {
    m_text5 = place(new QPlainTextEdit(text(), this), QStringLiteral("Text5"),
                    QStringLiteral("About Skinsmith"), onPage(960, 1200, 6855, 2775));
    QPalette palette = m_text5->palette();
    palette.setColor(QPalette::Base, QColor(128, 128, 128));
    palette.setColor(QPalette::Text, Qt::black);
    m_text5->setPalette(palette);
    QFont bold = m_text5->font();
    bold.setBold(true);
    m_text5->setFont(bold);
    // Tab moves on to the next control rather than typing a tab into the text.
    m_text5->setTabChangesFocus(true);
}

}  // namespace pages
