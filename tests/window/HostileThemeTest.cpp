// SPDX-License-Identifier: MIT
// A theme file from elsewhere names host files, each opened through the real window and
// created: nothing from outside the theme's folder reaches the new theme without the user's
// yes, and nothing from the system's virtual files, devices or pipes reaches it at all.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

class HostileThemeTest : public Form1Test {
protected:
    window::Services& services() override { return m_hostServices; }
    static platform::DriveMap withRoot(platform::DriveMap drives) {
        drives.map('Z', "/");  // as on the user's machine: every host path is reachable
        return drives;
    }
    QString host(const char* name) const { return m_home.filePath(QLatin1String(name)); }

    platform::DriveMap m_hostDrives = withRoot(m_drives);
    platform::HostFileSystem m_hostFiles{m_hostDrives};
    platform::QtPictureLoader m_hostPictures{m_hostDrives};
    window::Services m_hostServices{m_hostFiles, m_messages, m_dialog,    m_hostPictures,
                                    m_player,    m_launcher, m_hostDrives};
};

TEST_F(HostileThemeTest, NothingFromOutsideArrivesWithoutTheUsersYes) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(QDir(m_home.path()).mkpath(QStringLiteral("pack")));
    put("Secret.scr", "the user's own");
    ASSERT_EQ(::symlink("/dev/zero", host("pack/Zero.scr").toLocal8Bit().constData()), 0);
    ASSERT_EQ(::symlink(host("Secret.scr").toLocal8Bit().constData(),
                        host("pack/Inner.scr").toLocal8Bit().constData()),
              0);
    ASSERT_EQ(::mkfifo(host("pack/Pipe.scr").toLocal8Bit().constData(), 0600), 0);
    const std::string sys = "/sys/kernel/uevent_seqnum";
    struct Row {
        std::string value;    // what the theme file names
        std::string shownAs;  // the file asked about, when the user is asked
        QString copy;         // its copy in the theme folder, when a yes lets it arrive
    };
    const Row rows[] = {
        {"Z:\\etc\\passwd", "Z:\\etc\\passwd", "passwd"},
        {"Z:\\proc\\self\\environ", "Z:\\proc\\self\\environ", {}},
        {"Z:\\proc\\self\\pagemap", "Z:\\proc\\self\\pagemap", {}},
        {"Z:\\sys\\kernel\\uevent_seqnum", "Z:\\sys\\kernel\\uevent_seqnum", {}},
        {"%ThemeDir%Zero.scr", {}, {}},                               // a link to a device
        {"%ThemeDir%Pipe.scr", {}, {}},                               // a FIFO
        {"C:\\Secret.scr", "C:\\Secret.scr", "Secret.scr"},           // outside the theme's folder
        {"%ThemeDir%Inner.scr", "C:\\pack\\Inner.scr", "Inner.scr"},  // a link leading there
    };
    for (const Row& row : rows) {
        if (row.value.starts_with("Z:\\sys") && !fs::is_regular_file(sys)) continue;
        for (const MessageResult answer : {MessageResult::Cancel, MessageResult::Ok}) {
            SCOPED_TRACE(row.value + (answer == MessageResult::Ok ? ", used" : ", left empty"));
            QDir(host("skinvault")).removeRecursively();
            put("pack/Hostile.theme",
                QByteArray::fromStdString("[boot]\r\nSCRNSAVE.EXE=" + row.value + "\r\n"));
            m_messages.shown.clear();
            m_messages.answers = {answer};
            ASSERT_TRUE(m_form->openThemeFile(host("pack/Hostile.theme")));
            ASSERT_FALSE(m_messages.shown.empty());
            const platform::Message said = m_messages.shown[0];
            if (!row.shownAs.empty()) {
                EXPECT_EQ(said.text,
                          "The theme C:\\pack\\Hostile.theme was opened.\n\nFiles outside the "
                          "theme's own folder (Create Theme would copy them into the new "
                          "theme):\n    " +
                              row.shownAs +
                              "\n\nA theme from elsewhere can name any file you can read. Use "
                              "these files only if you trust this theme.");
                EXPECT_EQ(said.okText, "Use these files");
                EXPECT_EQ(said.cancelText, "Leave these slots empty");
                EXPECT_EQ(said.defaultButton, MessageResult::Cancel);
                EXPECT_EQ(theme().screenSaverPath,
                          answer == MessageResult::Ok ? row.shownAs : std::string());
            } else {
                EXPECT_EQ(said.buttons, platform::MessageButtons::Ok) << "nothing to ask";
            }
            m_messages.answers.clear();
            QTest::mouseClick(control("Command1"), Qt::LeftButton);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
            QStringList expected = {"Hostile.bat", "Hostile.theme"};
            if (answer == MessageResult::Ok && !row.copy.isEmpty()) expected << row.copy;
            expected.sort();
            EXPECT_EQ(QDir(host("skinvault/Hostile"))
                          .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
                      expected);
        }
    }
    // A virtual file the user said yes to is refused by the copy itself, with the reason.
    m_messages.shown.clear();
    put("pack/Hostile.theme", "[boot]\r\nSCRNSAVE.EXE=Z:\\proc\\self\\environ\r\n");
    m_messages.answers = {MessageResult::Ok};
    ASSERT_TRUE(m_form->openThemeFile(host("pack/Hostile.theme")));
    QDir(host("skinvault")).removeRecursively();
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
    EXPECT_EQ(m_messages.shown.back().text,
              "These files could not be copied into c:\\skinvault\\Hostile\\, so the theme will "
              "lack them:\rZ:\\proc\\self\\environ (it is one of the system's virtual files "
              "(/proc, /sys or the like))");
}

}  // namespace
