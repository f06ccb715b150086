// SPDX-License-Identifier: MIT
// A theme file from elsewhere names host files, each opened through the real window and
// created: nothing from outside the theme's folder reaches the new theme without the user's
// yes, and nothing from the system's virtual files, devices or pipes reaches it at all.
#include <sys/stat.h>
#include <unistd.h>

#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

class HostileThemeTest : public Form1Test {
protected:
    window::Services& services() override { return m_hostServices; }
    static platform::DriveMap withRoot(platform::DriveMap drives) {
        drives.map('Z', "/");  // as on the user's machine: every host path can be named
        return drives;
    }
    std::string host(const char* name) const { return m_home.filePath(name).toStdString(); }

    platform::DriveMap m_hostDrives = withRoot(m_drives);
    platform::HostFileSystem m_hostFiles{m_hostDrives};
    window::Services m_hostServices{m_hostFiles, m_messages, m_dialog,    m_pictures,
                                    m_player,    m_launcher, m_hostDrives};
};

TEST_F(HostileThemeTest, NothingFromOutsideArrivesWithoutTheUsersYes) {
    QDir(m_home.path()).mkpath(QStringLiteral("pack"));
    put("Secret.scr", "the user's own");
    ASSERT_EQ(::symlink("/dev/zero", host("pack/Zero.scr").c_str()), 0);
    ASSERT_EQ(::symlink(host("Secret.scr").c_str(), host("pack/Inner.scr").c_str()), 0);
    ASSERT_EQ(::mkfifo(host("pack/Pipe.scr").c_str(), 0600), 0);
    // What the theme names; the file the user is asked about; its copy when a yes lets it in.
    const std::tuple<std::string, std::string, QString> rows[] = {
        {"Z:\\etc\\passwd", "Z:\\etc\\passwd", "passwd"},
        {"Z:\\proc\\self\\environ", "Z:\\proc\\self\\environ", ""},
        {"Z:\\proc\\self\\pagemap", "Z:\\proc\\self\\pagemap", ""},
        {"Z:\\sys\\kernel\\uevent_seqnum", "Z:\\sys\\kernel\\uevent_seqnum", ""},
        {"%ThemeDir%Zero.scr", "", ""},                                // a link to a device
        {"%ThemeDir%Pipe.scr", "", ""},                                // a FIFO
        {"C:\\Secret.scr", "C:\\Secret.scr", "Secret.scr"},            // outside the folder
        {"%ThemeDir%Inner.scr", "C:\\pack\\Inner.scr", "Inner.scr"}};  // a link leading there
    for (const auto& [value, asked, copy] : rows) {
        for (const MessageResult answer : {MessageResult::Cancel, MessageResult::Ok}) {
            SCOPED_TRACE(value + (answer == MessageResult::Ok ? ", used" : ", left empty"));
            QDir(m_home.filePath("skinvault")).removeRecursively();
            put("pack/Hostile.theme", ("[boot]\r\nSCRNSAVE.EXE=" + value).c_str());
            m_messages.shown.clear();
            m_messages.answers = {answer};
            ASSERT_TRUE(m_form->openThemeFile(m_home.filePath("pack/Hostile.theme")));
            ASSERT_FALSE(m_messages.shown.empty());
            const platform::Message said = m_messages.shown[0];
            EXPECT_EQ(said.text, asked.empty()
                                     ? said.text
                                     : "The theme C:\\pack\\Hostile.theme was opened.\n\nFiles "
                                       "outside the theme's own folder (Create Theme would copy "
                                       "them into the new theme):\n    " +
                                           asked +
                                           "\n\nA theme from elsewhere can name any file you can "
                                           "read. Use these files only if you trust this theme.");
            EXPECT_EQ(said.okText + "/" + said.cancelText,
                      asked.empty() ? "/" : "Use these files/Leave these slots empty");
            EXPECT_EQ(said.defaultButton,
                      asked.empty() ? MessageResult::Ok : MessageResult::Cancel);
            QTest::mouseClick(control("Command1"), Qt::LeftButton);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
            QStringList expected = {"Hostile.bat", "Hostile.theme"};
            if (answer == MessageResult::Ok && !copy.isEmpty()) expected << copy;
            expected.sort();
            EXPECT_EQ(QDir(m_home.filePath("skinvault/Hostile"))
                          .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
                      expected);
        }
    }
}

}  // namespace
