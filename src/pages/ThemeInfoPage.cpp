// SPDX-License-Identifier: MIT
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

namespace {
constexpr std::string_view kFilter =
    "Logo files|*.sys|All pictures|*.sys;*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg";
const QString kBoxHint = QStringLiteral("Click here to preview the logo");
}  // namespace

ThemeInfoPage::ThemeInfoPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                             platform::PictureLoader& pictures, platform::MessageBoxes& messages,
                             QWidget* parent)
    : Page(parent), m_theme(theme), m_dialog(dialog), m_pictures(pictures), m_messages(messages) {
    const QString prompt = QStringLiteral("Enter a name for the  theme:-");
    m_label2 = place(new QLabel(prompt, this), QStringLiteral("Label2"), prompt,
                     onPage(360, 1320, 2055, 495));
    m_label2->setWordWrap(true);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text2 = place(new QLineEdit(this), QStringLiteral("Text2"), QStringLiteral("Theme name"),
                    onPage(2880, 1200, 5055, 495));
    m_label2->setBuddy(m_text2);

    m_frame1 = place(new FrameBox(QStringLiteral("Splash Screens"), this), QStringLiteral("Frame1"),
                     QStringLiteral("Splash Screens"), onPage(960, 1920, 6855, 2415));

    static constexpr const char* kButtonNames[state::kLogoCount] = {"Command7", "Command8",
                                                                    "Command9"};
    static constexpr const char* kBoxNames[state::kLogoCount] = {
        "Startup logo file", "Shutdown wait logo file", "Shutdown safe logo file"};
    static constexpr int kRowTop[state::kLogoCount] = {240, 900, 1560};
    auto* drops = new FileDrops(
        [this](QWidget* control, const std::filesystem::path& file) {
            for (std::size_t i = 0; i < state::kLogoCount; ++i)
                if (control == m_text3[i] || control == m_logoButtons[i]) dropLogo(i, file);
        },
        this);
    for (std::size_t i = 0; i < state::kLogoCount; ++i) {
        const QString caption = QString::fromUtf8(state::kLogoCaptions[i]);
        m_logoButtons[i] =
            place(new QPushButton(caption, m_frame1), QString::fromLatin1(kButtonNames[i]), caption,
                  at(360, kRowTop[i], 1455, 495));
        auto* box = place(new QLineEdit(m_frame1), QStringLiteral("Text3_%1").arg(i),
                          QString::fromLatin1(kBoxNames[i]), at(2160, kRowTop[i], 2535, 495));
        box->setReadOnly(true);  // shows a path; only clicks and keys reach it
        box->setToolTip(kBoxHint);
        box->installEventFilter(this);
        drops->watch(box);
        drops->watch(m_logoButtons[i]);
        m_text3[i] = box;
    }
    const QString previewHint =
        QStringLiteral("Click the text boxes on the left to preview the logo");
    m_image7 = place(new PictureBox(true, m_frame1), QStringLiteral("Image7"),
                     QStringLiteral("Logo preview"), at(5040, 240, 1695, 1815));
    m_image7->setToolTip(previewHint);
    m_image7->setEmptyText(previewHint);

    connect(m_logoButtons[0], &QPushButton::clicked, this, &ThemeInfoPage::Command7_Click);
    connect(m_logoButtons[1], &QPushButton::clicked, this, &ThemeInfoPage::Command8_Click);
    connect(m_logoButtons[2], &QPushButton::clicked, this, &ThemeInfoPage::Command9_Click);
}

bool ThemeInfoPage::eventFilter(QObject* watched, QEvent* event) {
    for (std::size_t i = 0; i < m_text3.size(); ++i) {
        if (watched != m_text3[i]) continue;
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Text3_Click(static_cast<int>(i));
        if (isActivateKey(event)) {
            Text3_Click(static_cast<int>(i));
            return true;
        }
        if (isClearKey(event)) {
            clearLogo(i);
            return true;
        }
    }
    return Page::eventFilter(watched, event);
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
    if (!pickTestThenStore(m_dialog, kFilter, state::kLogoPattern, m_theme.logoPaths[slot])) return;
    showLogo(slot);
    emit changed();
}

void ThemeInfoPage::dropLogo(std::size_t slot, const std::filesystem::path& hostFile) {
    auto path = dropFile(m_dialog, kFilter, state::kLogoPattern, hostFile);
    if (!path) return;
    m_theme.logoPaths[slot] = *path;
    showLogo(slot);
    emit changed();
}

void ThemeInfoPage::clearLogo(std::size_t slot) {
    if (m_theme.logoPaths[slot].empty()) return;
    m_theme.logoPaths[slot].clear();
    showLogo(slot);
    if (m_previewed == static_cast<int>(slot)) {
        m_image7->showPicture(QImage());
        m_previewed = -1;
    }
    emit changed();
}

void ThemeInfoPage::showLogo(std::size_t slot) {
    const bool chosen = state::holdsChoice(m_theme.logoPaths[slot], state::kLogoPattern);
    m_text3[slot]->setText(chosen ? QString::fromStdString(m_theme.logoPaths[slot]) : QString());
    describeSlot(m_text3[slot], kBoxHint, m_theme.logoPaths[slot], chosen);
    describeSlot(m_logoButtons[slot], QString(), m_theme.logoPaths[slot], chosen);
}

void ThemeInfoPage::Text3_Click(int index) {
    // The preview follows the box, which shows the slot's file.
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
    m_previewed = index;
}

void ThemeInfoPage::showState() {
    if (m_text2->text().toStdString() != m_theme.themeName)
        m_text2->setText(QString::fromStdString(m_theme.themeName));
    for (std::size_t i = 0; i < state::kLogoCount; ++i) showLogo(i);
    m_image7->showPicture(QImage());
    m_previewed = -1;
}

}  // namespace pages
