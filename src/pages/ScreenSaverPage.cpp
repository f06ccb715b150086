// SPDX-License-Identifier: MIT
#include "pages/ScreenSaverPage.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

#include "pages/Layout.h"
#include "pages/PickFile.h"

namespace pages {

namespace {
constexpr std::string_view kFilter = "Screen Savers";
}

ScreenSaverPage::ScreenSaverPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                                 platform::ProgramLauncher& launcher,
                                 platform::MessageBoxes& messages, QWidget* parent)
    : Page(parent), m_theme(theme), m_dialog(dialog), m_launcher(launcher), m_messages(messages) {
    auto button = [this](const char* name, const char* caption, QRect twips) {
        const QString text = QString::fromLatin1(caption);
        return place(new QPushButton(text, this), QString::fromLatin1(name), text, twips);
    };
    m_command4 =
        place(new SlotButton(QStringLiteral("Select . . ."), this), QStringLiteral("Command4"),
              QStringLiteral("Select screen saver"), onPage(480, 1320, 1335, 495));
    m_text1 = place(new QLineEdit(this), QStringLiteral("Text1"),
                    QStringLiteral("Screen saver file"), onPage(2760, 1320, 5775, 495));
    m_command5 = button("Command5", "Test Screensaver", onPage(1320, 2880, 2175, 495));
    m_command6 = button("Command6", "Configure Screensaver", onPage(4440, 2880, 2175, 495));

    auto* drops = new FileDrops(
        [this](QWidget*, const std::filesystem::path& file) { dropScreenSaver(file); }, this);
    drops->watch(m_command4);
    drops->watch(m_text1);
    m_command4->installEventFilter(this);

    connect(m_command4, &QPushButton::clicked, this, &ScreenSaverPage::Command4_Click);
    connect(m_command5, &QPushButton::clicked, this, &ScreenSaverPage::Command5_Click);
    connect(m_command6, &QPushButton::clicked, this, &ScreenSaverPage::Command6_Click);
}

bool ScreenSaverPage::eventFilter(QObject* watched, QEvent* event) {
    // Text1 stays a plain text box, where Delete edits; the slot is cleared on its button.
    if (watched == m_command4 && isClearKey(event)) {
        clearScreenSaver();
        return true;
    }
    return Page::eventFilter(watched, event);
}

void ScreenSaverPage::Command4_Click() {
    if (!pickTestThenStore(m_dialog, kFilter, state::kScreenSaverPattern, m_theme.screenSaverPath))
        return;
    showScreenSaver();
    emit changed();
}

void ScreenSaverPage::dropScreenSaver(const std::filesystem::path& hostFile) {
    auto path = dropFile(m_dialog, kFilter, state::kScreenSaverPattern, hostFile);
    if (!path) return;
    m_theme.screenSaverPath = *path;
    showScreenSaver();
    emit changed();
}

void ScreenSaverPage::clearScreenSaver() {
    if (m_theme.screenSaverPath.empty()) return;
    m_theme.screenSaverPath.clear();
    showScreenSaver();
    emit changed();
}

void ScreenSaverPage::Command5_Click() {
    // Runs it full-screen. The path and "/s" go separately, so a blank in the path never
    // splits it into another program's name.
    run({"/s"});
}

void ScreenSaverPage::Command6_Click() {
    // Without arguments a screen saver opens its own settings.
    run({});
}

void ScreenSaverPage::run(const std::vector<std::string>& arguments) {
    if (!state::holdsChoice(m_theme.screenSaverPath, state::kScreenSaverPattern)) return;
    if (m_launcher.start(m_theme.screenSaverPath, arguments)) return;
    // Any other failed start stays silent; a missing Wine is something the user can mend.
    if (!m_launcher.lacksWine(m_theme.screenSaverPath)) return;
    m_messages.show(
        {"This screen saver is a Windows program, and Wine, which runs them here, is not "
         "installed. Install it with:\n    sudo apt install wine\n"
         "(32-bit screen savers also need wine32, from Debian's i386 architecture.)",
         "Wine is not installed", platform::MessageButtons::Ok, platform::MessageIcon::Warning,
         platform::MessageResult::Ok});
}

void ScreenSaverPage::showScreenSaver() {
    const bool chosen = state::holdsChoice(m_theme.screenSaverPath, state::kScreenSaverPattern);
    const QString path = chosen ? QString::fromStdString(m_theme.screenSaverPath) : QString();
    m_text1->setText(path);
    m_text1->setAccessibleDescription(path);
    m_command4->setChosen(chosen);
    describeSlot(m_command4, QString(), m_theme.screenSaverPath, chosen);
}

void ScreenSaverPage::showState() {
    showScreenSaver();
}

}  // namespace pages
