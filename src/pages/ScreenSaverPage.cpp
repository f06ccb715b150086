#include "pages/ScreenSaverPage.h"

#include <QLineEdit>
#include <QPushButton>

#include "pages/Layout.h"
#include "pages/PickFile.h"

namespace pages {

ScreenSaverPage::ScreenSaverPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                                 platform::ProgramLauncher& launcher, QWidget* parent)
    : QWidget(parent), m_theme(theme), m_dialog(dialog), m_launcher(launcher) {
    auto button = [this](const char* name, const char* caption, QRect twips) {
        const QString text = QString::fromLatin1(caption);
        return place(new QPushButton(text, this), QString::fromLatin1(name), text, twips);
    };
    m_command4 = button("Command4", "Select . . .", onPage(480, 1320, 1335, 495));
    m_text1 = place(new QLineEdit(this), QStringLiteral("Text1"),
                    QStringLiteral("Screen saver file"), onPage(2760, 1320, 5775, 495));
    m_command5 = button("Command5", "Test Screensaver", onPage(1320, 2880, 2175, 495));
    m_command6 = button("Command6", "Configure Screensaver", onPage(4440, 2880, 2175, 495));

    connect(m_command4, &QPushButton::clicked, this, &ScreenSaverPage::Command4_Click);
    connect(m_command5, &QPushButton::clicked, this, &ScreenSaverPage::Command5_Click);
    connect(m_command6, &QPushButton::clicked, this, &ScreenSaverPage::Command6_Click);
}

void ScreenSaverPage::Command4_Click() {
    if (!pickStoreThenTest(m_dialog, "Screen Savers", state::kScreenSaverPattern,
                           m_theme.screenSaverPath))
        return;
    m_text1->setText(QString::fromStdString(m_theme.screenSaverPath));
}

void ScreenSaverPage::Command5_Click() {
    // Runs it full-screen. The path and "/s" go separately, so a blank in the path never
    // splits it into another program's name.
    if (!state::holdsChoice(m_theme.screenSaverPath, state::kScreenSaverPattern)) return;
    m_launcher.start(m_theme.screenSaverPath, {"/s"});  // a failed start stays silent
}

void ScreenSaverPage::Command6_Click() {
    // Without arguments a screen saver opens its own settings.
    if (!state::holdsChoice(m_theme.screenSaverPath, state::kScreenSaverPattern)) return;
    m_launcher.start(m_theme.screenSaverPath, {});
}

void ScreenSaverPage::showState() {
    m_text1->setText(QString::fromStdString(m_theme.screenSaverPath));
}

}  // namespace pages
