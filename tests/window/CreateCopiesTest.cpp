// SPDX-License-Identifier: MIT
// Create Theme copies the assets on a worker thread after "Done!": the window stays live, a
// progress dialog names the file being copied, and Cancel or Exit stop the copies.
#include <QProgressDialog>

#include <condition_variable>
#include <mutex>

#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

/// The real file system, whose copies of chosen files each wait until the test lets one through.
class GatedFileSystem : public platform::HostFileSystem {
public:
    using HostFileSystem::HostFileSystem;
    bool copyFile(std::string_view source, std::string_view target) override {
        if (source.starts_with("C:\\")) {  // empty slots and patterns pass
            std::unique_lock lock(m_mutex);
            ++m_waiting;
            m_changed.wait(lock, [&] { return m_permits > 0; });
            --m_permits;
            --m_waiting;
        }
        return HostFileSystem::copyFile(source, target);
    }
    /// Lets `n` more copies through.
    void allow(int n) {
        std::lock_guard lock(m_mutex);
        m_permits += n;
        m_changed.notify_all();
    }
    /// Whether a copy is held at the gate now.
    bool holding() {
        std::lock_guard lock(m_mutex);
        return m_waiting > 0;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_permits = 0;
    int m_waiting = 0;
};

class CreateCopiesTest : public Form1Test {
protected:
    window::Services& services() override { return m_gatedServices; }
    /// The window on the gated file system, with two icons chosen and a name typed, whose
    /// Create Theme has just been clicked: the first copy is held at the gate.
    void SetUp() override {
        Form1Test::SetUp();
        showPage(0);
        // Icons Windows 98 draws as they are, so Create has nothing to ask first.
        m_dialog.openAnswers = {putData("One.ico", "clean.ico"), putData("Two.ico", "clean.ico")};
        for (const char* box : {"Image1", "Image5"})
            QTest::mouseDClick(control(box), Qt::LeftButton);
        showPage(7);
        QTest::keyClicks(control("Text2"), "Busy");
        QTest::mouseClick(control("Command1"), Qt::LeftButton);
        ASSERT_EQ(m_messages.shown.size(), 1u);
        EXPECT_EQ(m_messages.shown[0].title, "Done!");
        // The first copy waits on the worker while this thread goes on running events.
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_gate.holding(); }));
        EXPECT_TRUE(m_form->copying());
    }
    // The window goes before the gate, and its worker never waits at a closed gate.
    void TearDown() override {
        m_gate.allow(1000);
        m_form.reset();
    }
    QString copied(const char* name) const {
        return m_home.filePath(QStringLiteral("skinvault/Busy/") + QLatin1String(name));
    }

    GatedFileSystem m_gate{m_drives};
    window::Services m_gatedServices{m_gate,   m_messages, m_dialog, m_pictures,
                                     m_player, m_launcher, m_drives};
};

TEST_F(CreateCopiesTest, ProgressNamesTheFileCreateIsRefusedAndCancelListsWhatIsLeft) {
    auto* progress = m_form->findChild<QProgressDialog*>("CopyProgress");
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return progress->labelText().contains("C:\\One.ico"); }));

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

    auto* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    m_gate.allow(1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
    ASSERT_EQ(m_messages.shown.size(), 5u);
    EXPECT_EQ(m_messages.shown[4].title, "Files not copied");
    EXPECT_NE(m_messages.shown[4].text.find("C:\\Two.ico (the copy was stopped)"),
              std::string::npos);
    EXPECT_TRUE(QFile::exists(copied("One.ico")));  // the copy under way completes
    EXPECT_FALSE(QFile::exists(copied("Two.ico")));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return m_form->findChild<QProgressDialog*>("CopyProgress") == nullptr; }));
}

TEST_F(CreateCopiesTest, ExitDuringTheCopiesAsksAndEndsOnceTheFileUnderWayIsDone) {
    QSignalSpy exits(m_form.get(), &window::Form1::exitRequested);
    m_messages.answers = {MessageResult::Cancel};
    QTest::mouseClick(control("Command3"), Qt::LeftButton);
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_NE(m_messages.shown[1].text.find("Stop the copy and exit?"), std::string::npos);
    EXPECT_EQ(m_messages.shown[1].defaultButton, MessageResult::Cancel);
    EXPECT_TRUE(m_form->copying());

    m_messages.answers = {MessageResult::Ok};
    QTest::mouseClick(control("Command3"), Qt::LeftButton);
    EXPECT_EQ(exits.count(), 0);
    m_gate.allow(1000);
    ASSERT_TRUE(exits.wait(20000));
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_FALSE(m_form->copying());
    EXPECT_EQ(m_messages.shown.size(), 3u) << "no warning after a chosen exit";
    EXPECT_TRUE(QFile::exists(copied("One.ico")));
    EXPECT_FALSE(QFile::exists(copied("Two.ico")));
}

}  // namespace
