// SPDX-License-Identifier: MIT
#include "window/ToolsMenu.h"

#include <QApplication>
#include <QMenuBar>
#include <QProgressDialog>
#include <QThread>
#include <atomic>
#include <memory>

#include "compat/Convert.h"
#include "platform/HostFiles.h"
#include "window/CheckWindow.h"
#include "window/Form1.h"
#include "window/TabStrip.h"

namespace window {
namespace {

// The control that holds a slot, by the window tables' names.
QString slotControl(compat::Slot slot) {
    using Kind = compat::Slot::Kind;
    static const char* const kIcons[] = {"Image1", "Image5", "Image4", "Image6"};
    static const char* const kLogos[] = {"Command7", "Command8", "Command9"};
    switch (slot.kind) {
        case Kind::Icon:
            return QString::fromLatin1(kIcons[slot.index]);
        case Kind::Wallpaper:
            return QStringLiteral("Image2");
        case Kind::Pointer:
            return QStringLiteral("Command10_%1").arg(slot.index);
        case Kind::Sound:
            return QStringLiteral("Command11_%1").arg(slot.index);
        case Kind::ScreenSaver:
            return QStringLiteral("Command4");
        case Kind::Logo:
            return QString::fromLatin1(kLogos[slot.index]);
    }
    return {};
}

// Enters C:\skinvault\<name>, making what is missing; false with the reason in the file
// system's lastError.
bool enterThemeFolder(platform::FileSystem& files, const std::string& name) {
    auto enter = [&](std::string_view folder) {
        return files.changeFolder(folder) ||
               (files.makeFolder(folder) && files.changeFolder(folder));
    };
    return files.changeDrive('C') && files.changeFolder("\\") && enter("skinvault") && enter(name);
}

struct Job {
    compat::Finding finding;
    std::filesystem::path source;
    std::optional<compat::Converted> result;
    std::string why;
};

}  // namespace

ToolsMenu::ToolsMenu(QMenuBar& bar, Form1& form, Services& services)
    : QObject(&form), m_form(form), m_services(services) {
    QMenu* tools = bar.addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    QAction* check = tools->addAction(QStringLiteral("&Check for Windows 98"));
    check->setObjectName(QStringLiteral("mnuToolsCheck"));
    check->setShortcut(QKeySequence(Qt::Key_F7));
    check->setShortcutContext(Qt::WindowShortcut);
    connect(check, &QAction::triggered, this, &ToolsMenu::mnuToolsCheck_Click);
}

void ToolsMenu::mnuToolsCheck_Click() {
    if (!m_window) {
        QStringList pages;
        for (int i = 0; i < 8; ++i) pages << m_form.tabs()->caption(i);
        m_window = new CheckWindow(pages, &m_form);
        connect(m_window, &CheckWindow::slotChosen, this, &ToolsMenu::showSlot);
        connect(m_window, &CheckWindow::recheckRequested, this, &ToolsMenu::recheck);
        connect(m_window, &CheckWindow::convertRequested, this,
                [this](std::vector<compat::Finding> findings) { convert(std::move(findings)); });
        // An open list follows the theme: a new pick is judged at once.
        connect(&m_form, &Form1::themeChanged, this, [this] {
            if (m_window->isVisible()) recheck();
        });
    }
    recheck();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void ToolsMenu::recheck() {
    m_window->showFindings(compat::checkTheme(m_form.theme(), m_services.drives));
}

void ToolsMenu::showSlot(compat::Slot slot) {
    // The user chose this finding, so the page changes as a tab click would change it.
    m_form.tabs()->setCurrentIndex(compat::pageOf(slot));
    m_form.activateWindow();
    m_form.raise();
    if (auto* control = m_form.findChild<QWidget*>(slotControl(slot)))
        control->setFocus(Qt::OtherFocusReason);
}

bool ToolsMenu::askBeforeCreate(const std::function<void()>& create) {
    const state::ThemeState& theme = m_form.theme();
    // Without a name Create says so itself, and has nowhere to convert into.
    if (theme.themeName.empty() || m_converting) return false;
    std::vector<compat::Finding> convertible;
    std::string list;
    for (const auto& f : compat::checkTheme(theme, m_services.drives)) {
        if (f.severity != compat::Severity::WillNotShow || f.windows == compat::Windows::Win95 ||
            f.conversion == compat::Conversion::None)
            continue;
        convertible.push_back(f);
        list +=
            "\r" + compat::slotName(f.slot) + ": " + compat::fileNameOf(f.file) + " " + f.problem;
    }
    if (convertible.empty()) return false;
    platform::Message question;
    question.title = "Create Theme";
    question.text = "These files will not show on Windows 98:" + list +
                    "\rConvert them to files Windows 98 reads? The converted copies go into the "
                    "theme folder; the originals are left as they are.";
    question.buttons = platform::MessageButtons::OkOtherCancel;
    question.icon = platform::MessageIcon::Warning;
    question.okText = "Convert";
    question.otherText = "Create as it is";
    switch (m_services.messageBoxes.show(question)) {
        case platform::MessageResult::Other:
            return false;
        case platform::MessageResult::Cancel:
            return true;
        case platform::MessageResult::Ok:
            break;
    }
    convert(convertible, create);
    return true;
}

void ToolsMenu::convert(std::vector<compat::Finding> findings, std::function<void()> then) {
    auto say = [this](std::string text, platform::MessageIcon icon) {
        m_services.messageBoxes.show({std::move(text), "Convert for Windows 98",
                                      platform::MessageButtons::Ok, icon,
                                      platform::MessageResult::Ok});
    };
    if (m_converting) return;
    if (m_form.copying()) {
        say("The theme's files are being copied. Convert when the copies are done.",
            platform::MessageIcon::Warning);
        return;
    }
    const state::ThemeState& theme = m_form.theme();
    if (theme.themeName.empty()) {
        say("Give the theme a name on the Theme Info page first: converted copies are written "
            "into its folder, C:\\skinvault\\<name>.",
            platform::MessageIcon::Warning);
        return;
    }
    auto jobs = std::make_shared<std::vector<Job>>();
    for (const auto& f : findings) {
        if (f.conversion == compat::Conversion::None) continue;
        bool twice = false;
        for (const auto& j : *jobs) twice = twice || j.finding.slot == f.slot;
        if (twice) continue;
        const auto host = m_services.drives.toHost(f.file);
        const auto found = host ? platform::findFileIgnoringCase(*host) : std::nullopt;
        jobs->push_back({f, found.value_or(std::filesystem::path()), {}, {}});
    }
    if (jobs->empty()) return;

    m_converting = true;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    auto* progress =
        new QProgressDialog(QStringLiteral("Converting for Windows 98..."),
                            QStringLiteral("Cancel"), 0, static_cast<int>(jobs->size()), &m_form);
    progress->setObjectName(QStringLiteral("ConvertProgress"));
    progress->setWindowTitle(QStringLiteral("Convert for Windows 98"));
    progress->setMinimumDuration(300);
    connect(progress, &QProgressDialog::canceled, this, [cancel] { cancel->store(true); });
    const state::Color background = theme.colors[3];
    QThread* worker = QThread::create([jobs, cancel, progress, background] {
        int done = 0;
        for (Job& job : *jobs) {
            if (cancel->load()) break;
            job.result =
                compat::convertFile(job.finding.conversion, job.source,
                                    compat::fileNameOf(job.finding.file), background, &job.why);
            QMetaObject::invokeMethod(progress, "setValue", Qt::QueuedConnection,
                                      Q_ARG(int, ++done));
        }
    });
    connect(worker, &QThread::finished, this, [this, jobs, cancel, progress, worker, say, then] {
        progress->deleteLater();
        worker->deleteLater();
        m_converting = false;
        state::ThemeState changed = m_form.theme();
        std::string failed;
        platform::FileSystem& files = m_services.fileSystem;
        const bool inFolder = enterThemeFolder(files, changed.themeName);
        for (const Job& job : *jobs) {
            std::string why = job.why;
            if (!job.result) {
                if (why.empty() && !cancel->load()) why = "it was not converted";
                if (cancel->load() && why.empty()) why = "the conversion was stopped";
            } else if (!inFolder || !files.writeFile(job.result->name, job.result->bytes)) {
                why = files.lastError();
            } else {
                compat::slotPath(changed, job.finding.slot) =
                    files.currentFolder() + "\\" + job.result->name;
                continue;
            }
            failed += "\r" + job.finding.file + " (" + why + ")";
        }
        // One step of the Edit menu's history: Undo puts the originals back in the slots.
        if (!(changed == m_form.theme()))
            m_form.applyChange(std::move(changed), QStringLiteral("Convert for Windows 98"));
        if (!failed.empty())
            say("These files were not converted; their slots are unchanged:" + failed,
                platform::MessageIcon::Warning);
        if (m_window && m_window->isVisible()) recheck();
        if (then && !cancel->load()) then();
    });
    worker->start();
}

}  // namespace window
