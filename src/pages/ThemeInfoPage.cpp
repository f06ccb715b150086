#include "pages/ThemeInfoPage.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "pages/FrameBox.h"
#include "pages/Layout.h"
#include "pages/PickFile.h"
#include "pages/PictureBox.h"

namespace pages {

ThemeInfoPage::ThemeInfoPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                             platform::PictureLoader& pictures, platform::MessageBoxes& messages,
                             QWidget* parent)
    : QWidget(parent),
      m_theme(theme),
      m_dialog(dialog),
      m_pictures(pictures),
      m_messages(messages) {
    const QString prompt = QStringLiteral("Enter a name for the  theme:-");
    m_label2 = place(new QLabel(prompt, this), QStringLiteral("Label2"), prompt,
                     onPage(360, 1320, 2055, 495));
    m_label2->setWordWrap(true);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text2 = place(new QLineEdit(this), QStringLiteral("Text2"), QStringLiteral("Theme name"),
                    onPage(2880, 1200, 5055, 495));

    m_frame1 = place(new FrameBox(QStringLiteral("Splash Screens"), this), QStringLiteral("Frame1"),
                     QStringLiteral("Splash Screens"), onPage(960, 1920, 6855, 2415));

    static constexpr const char* kButtonNames[state::kLogoCount] = {"Command7", "Command8",
                                                                    "Command9"};
    static constexpr int kRowTop[state::kLogoCount] = {240, 900, 1560};
    const QString boxHint = QStringLiteral("Click here to preview the logo");
    for (std::size_t i = 0; i < state::kLogoCount; ++i) {
        const QString caption = QString::fromUtf8(state::kLogoCaptions[i]);
        m_logoButtons[i] =
            place(new QPushButton(caption, m_frame1), QString::fromLatin1(kButtonNames[i]), caption,
                  at(360, kRowTop[i], 1455, 495));
        auto* box = place(new QLineEdit(m_frame1), QStringLiteral("Text3_%1").arg(i), boxHint,
                          at(2160, kRowTop[i], 2535, 495));
        box->setReadOnly(true);  // shows a path; only clicks reach it
        box->setToolTip(boxHint);
        box->installEventFilter(this);
        m_text3[i] = box;
    }
    const QString previewHint =
        QStringLiteral("Click the text boxes on the left to preview the logo");
    m_image7 = place(new PictureBox(true, m_frame1), QStringLiteral("Image7"), previewHint,
                     at(5040, 240, 1695, 1815));
    m_image7->setToolTip(previewHint);

    connect(m_logoButtons[0], &QPushButton::clicked, this, &ThemeInfoPage::Command7_Click);
    connect(m_logoButtons[1], &QPushButton::clicked, this, &ThemeInfoPage::Command8_Click);
    connect(m_logoButtons[2], &QPushButton::clicked, this, &ThemeInfoPage::Command9_Click);
}

bool ThemeInfoPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (std::size_t i = 0; i < m_text3.size(); ++i)
            if (watched == m_text3[i]) Text3_Click(static_cast<int>(i));
    }
    return QWidget::eventFilter(watched, event);
}

void ThemeInfoPage::Command7_Click() {
    pickLogo(0);
}
void ThemeInfoPage::Command8_Click() {
    pickLogo(1);
}
void ThemeInfoPage::Command9_Click() {
    pickLogo(2);
}

void ThemeInfoPage::pickLogo(std::size_t slot) {
    std::string& path = m_theme.logoPaths[slot];
    if (!pickStoreThenTest(m_dialog, "Logo files", state::kLogoPattern, path)) return;
    m_text3[slot]->setText(QString::fromStdString(path));
}

void ThemeInfoPage::Text3_Click(int index) {
    // The preview follows the box, which still shows an earlier file after a cancelled pick.
    const std::string path = m_text3[static_cast<std::size_t>(index)]->text().toStdString();
    if (path.empty()) return;
    // The loader refuses a bitmap cut short: half a logo on a start screen is a broken theme.
    const auto picture = m_pictures.load(path, m_image7->decodeSize());
    if (!picture || picture->isNull()) {
        m_messages.show({"Not valid logo file", "Error", platform::MessageButtons::Ok,
                         platform::MessageIcon::Stop, platform::MessageResult::Ok});
        return;
    }
    m_image7->showPicture(*picture);
}

void ThemeInfoPage::showState() {
    for (std::size_t slot = 0; slot < state::kLogoCount; ++slot)
        m_text3[slot]->setText(QString::fromStdString(m_theme.logoPaths[slot]));
    m_image7->showPicture(QImage());
}

}  // namespace pages
