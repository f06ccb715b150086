// SPDX-License-Identifier: MIT
// Create Theme writes and copies on a worker thread: the window stays live while the theme
// file is written and while the assets are copied, a progress dialog names the file being
// copied, and Cancel, Exit or the close box stop the copies.
#include <QProgressDialog>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <utility>

#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

/// The real file system, held at a gate until the test lets it through: each copy of a chosen
/// file as it starts and after its first chunk, and (when asked) the theme file as it is made.
class GatedFileSystem : public platform::HostFileSystem {
public:
    using HostFileSystem::HostFileSystem;
    bool copyFile(std::string_view source, std::string_view target,
                  const platform::CopyWatch& watch = {}) override {
        if (!source.starts_with("C:\\")) return HostFileSystem::copyFile(source, target, watch);
        wait();  // empty slots and patterns pass
        bool first = true;
        return HostFileSystem::copyFile(source, target, [&](std::uint64_t copied) {
            const bool goOn = watch(copied);
            if (std::exchange(first, false)) wait();
            return goOn;
        });
    }
    std::unique_ptr<platform::TextFile> createTextFile(std::string_view name) override {
        // Held on the window's thread it could never be let through: there it is only noted.
        if (holdThemeFile && name.ends_with(".theme") &&
            !(onWindowsThread = QThread::currentThread() == QCoreApplication::instance()->thread()))
            wait();
        return HostFileSystem::createTextFile(name);
    }
    /// Lets `n` more through.
    void allow(int n) {
        std::lock_guard lock(m_mutex);
        m_permits += n;
        m_changed.notify_all();
    }
    /// Whether anything is held at the gate now.
    bool holding() {
        std::lock_guard lock(m_mutex);
        return m_waiting > 0;
    }
    bool holdThemeFile = false, onWindowsThread = false;

private:
    void wait() {
        std::unique_lock lock(m_mutex);
        ++m_waiting;
        m_changed.wait(lock, [&] { return m_permits > 0; });
        --m_permits;
        --m_waiting;
    }
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_permits = 0;
    int m_waiting = 0;
};

class CreateCopiesTest : public Form1Test {
protected:
    window::Services& services() override { return m_gatedServices; }
    /// Two icons chosen, then create(): "Done!" has been shown and the first copy is held.
    void createTwoIcons() {
        showPage(0);
        // Icons Windows 98 draws as they are, so Create has nothing to ask first.
        m_dialog.openAnswers = {putData("One.ico", "clean.ico"), putData("Two.ico", "clean.ico")};
        for (const char* box : {"Image1", "Image5"})
            QTest::mouseDClick(control(box), Qt::LeftButton);
        create();
        EXPECT_EQ(m_messages.shown.at(0).title, "Done!");
    }
    /// Names the theme and clicks Create Theme; true once the worker is held at the gate
    /// while this thread goes on running events.
    void create() {
        showPage(7);
        QTest::keyClicks(control("Text2"), "Busy");
        QTest::mouseClick(control("Command1"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_gate.holding(); }));
        EXPECT_TRUE(m_form->copying());
    }
    // The window goes before the gate, and its worker never waits at a closed gate.
    void TearDown() override {
        m_gate.allow(1000);
        m_form.reset();
    }
    QStringList themeFolder() const {
        return QDir(m_home.filePath(QStringLiteral("skinvault/Busy")))
            .entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QProgressDialog* progress() { return m_form->findChild<QProgressDialog*>("CopyProgress"); }

    GatedFileSystem m_gate{m_drives};
    window::Services m_gatedServices{m_gate,   m_messages, m_dialog, m_pictures,
                                     m_player, m_launcher, m_drives};
};

TEST_F(CreateCopiesTest, ProgressNamesTheFileCreateIsRefusedAndCancelListsWhatIsLeft) {
    createTwoIcons();
    auto* dialog = progress();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->labelText().contains("C:\\One.ico"); }));

    // Create, New and Open are refused while the copies run; nothing changes.
    const state::ThemeState before = theme();
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    m_form->mnuFileNew_Click();
    m_form->mnuFileOpen_Click();
    ASSERT_EQ(m_messages.shown.size(), 4u);
    const char* refused[] = {"creating a theme again", "starting a new theme", "opening a theme"};
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(m_messages.shown[i].title, "Copying files");
        EXPECT_EQ(m_messages.shown[i].text,
                  std::string("The files of the last theme are still being copied. Wait until the "
                              "copy ends, or cancel it, before ") +
                      refused[i - 1] + ".");
    }
    EXPECT_TRUE(m_dialog.opens.size() == 0 || m_dialog.opens.back().fileName != "*.theme");
    EXPECT_EQ(theme(), before);
    EXPECT_TRUE(m_form->copying());

    dialog->findChild<QPushButton*>()->click();
    m_gate.allow(1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
    ASSERT_EQ(m_messages.shown.size(), 5u);
    EXPECT_EQ(m_messages.shown[4].title, "Files not copied");
    EXPECT_EQ(m_messages.shown[4].text,
              "These files could not be copied into c:\\skinvault\\Busy\\, so the theme will "
              "lack them:\rC:\\Two.ico (the copy was stopped)");
    // A file of one chunk under way completes; nothing half-made is left.
    EXPECT_EQ(themeFolder(), QStringList({"Busy.bat", "Busy.theme", "One.ico"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return progress() == nullptr; }));
}

// The theme file is written on the worker: while it is held there the window still handles
// events, and "Done!" waits for it. Cancel then stops a big file at its next chunk and leaves
// nothing of it; the progress moves within the file until then.
TEST_F(CreateCopiesTest, WritesOffTheWindowsThreadAndCancelStopsABigFileWithinAChunk) {
    m_dialog.openAnswers = {put("Big.scr", QByteArray(3 * 1024 * 1024 + 1, 'x'))};
    showPage(5);
    QTest::mouseClick(control("Command4"), Qt::LeftButton);
    m_gate.holdThemeFile = true;
    create();
    EXPECT_FALSE(m_gate.onWindowsThread);
    showPage(2);  // the window answers a click meanwhile
    EXPECT_TRUE(m_messages.shown.empty() && themeFolder().isEmpty());
    m_gate.allow(2);  // the theme file, the copy's start: held after its first chunk
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return m_gate.holding() && progress() &&
               progress()->labelText() == "Copying C:\\Big.scr\n1.0 MB of 3.0 MB copied";
    }));
    progress()->findChild<QPushButton*>()->click();
    m_gate.allow(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[0].title, "Done!");
    EXPECT_EQ(m_messages.shown[1].text,
              "These files could not be copied into c:\\skinvault\\Busy\\, so the theme will "
              "lack them:\rC:\\Big.scr (the copy was stopped)");
    EXPECT_EQ(themeFolder(), QStringList({"Busy.bat", "Busy.theme"}));
}

// The close box asks what Exit asks; either way the window ends once the copy has stopped.
TEST_F(CreateCopiesTest, ExitAndTheCloseBoxAskTheSameAndEndOnceTheCopyHasStopped) {
    createTwoIcons();
    QSignalSpy exits(m_form.get(), &window::Form1::exitRequested);
    m_messages.answers = {MessageResult::Cancel, MessageResult::Cancel, MessageResult::Ok};
    QTest::mouseClick(control("Command3"), Qt::LeftButton);
    EXPECT_FALSE(m_form->close());
    EXPECT_TRUE(m_form->isVisible() && m_form->copying());
    EXPECT_FALSE(m_form->close()) << "it waits for the copy to stop";
    ASSERT_EQ(m_messages.shown.size(), 4u);
    for (std::size_t i : {1u, 2u, 3u}) {
        EXPECT_EQ(m_messages.shown[i].text,
                  "The theme's files are still being copied. Stop the copy and exit? The files "
                  "not yet copied will be missing from the theme.");
        EXPECT_EQ(m_messages.shown[i].title, "Exit Theme Creator");
        EXPECT_EQ(m_messages.shown[i].defaultButton, MessageResult::Cancel);
    }
    EXPECT_EQ(exits.count(), 0);
    m_gate.allow(1000);
    ASSERT_TRUE(exits.wait(20000));
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_EQ(m_messages.shown.size(), 4u) << "no warning after a chosen exit";
    EXPECT_EQ(themeFolder(), QStringList({"Busy.bat", "Busy.theme", "One.ico"}));
}

}  // namespace
