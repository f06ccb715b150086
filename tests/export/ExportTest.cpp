// SPDX-License-Identifier: MIT
// Zip packs, CD images and disk images, each checked with the tools that read them elsewhere
// (unzip, xorriso, mtools, fsck.fat); the refusals leave the image byte for byte as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QColor>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "export/DiskImage.h"
#include "export/Export.h"
#include "support/TestData.h"

namespace {

namespace fs = std::filesystem;

struct Ran {
    int exit = -1;
    QByteArray out;  // stdout, then stderr
    QString text() const { return QString::fromUtf8(out); }
};

Ran run(const QString& program, const QStringList& args, const QString& mtoolsrc = {}) {
    QProcess p;
    if (!mtoolsrc.isEmpty()) {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MTOOLSRC"), mtoolsrc);
        p.setProcessEnvironment(env);
    }
    p.start(program, args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            p.readAllStandardOutput() + p.readAllStandardError()};
}

QByteArray sha1(const QString& file) {
    return QCryptographicHash::hash(testdata::contents(file), QCryptographicHash::Sha1);
}

// A theme folder as Create writes it: theme file, logo batch, an accented name, a logo.
class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("Autumn")));
        put(QStringLiteral("Autumn.theme"),
            "[Control Panel\\Desktop]\r\nWallpaper=%ThemeDir%Caf\xC3\xA9.ico\r\n");
        put(QStringLiteral("Autumn.bat"), "copy \"boot.sys\" c:\\logo.sys\r\n");
        put(QStringLiteral("Caf\u00e9.ico"), testdata::bytes(QStringLiteral("red.ico")));
        put(QStringLiteral("boot.sys"), testdata::bytes(QStringLiteral("red.bmp")));
    }
    void put(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(testdata::write(m_dir.filePath(QStringLiteral("Autumn/") + name), bytes));
    }
    QByteArray folderFile(const QString& name) {
        return testdata::contents(m_dir.filePath(QStringLiteral("Autumn/") + name));
    }
    exporting::ThemeFolder folder() { return {m_dir.filePath("Autumn").toStdString(), "Autumn"}; }
    fs::path target(const QString& name) { return m_dir.filePath(name).toStdString(); }

    QTemporaryDir m_dir;
};

TEST_F(ExportTest, ZipPackHoldsTheFolderAndInstallTextsUnderDosNames) {
    const auto result = exporting::writeZip(folder(), target("a.zip"));
    ASSERT_TRUE(result.ok) << result.error;
    const QString zip = m_dir.filePath("a.zip");
    EXPECT_EQ(run("unzip", {"-t", zip}).exit, 0);
    const Ran listing = run("unzip", {"-Z", zip});
    EXPECT_EQ(listing.out.count(" defN "), 6) << listing.out.toStdString();
    // The accented name is stored in code page 437 (0x82), without the UTF-8 flag.
    const QByteArray bytes = testdata::contents(zip);
    EXPECT_TRUE(bytes.contains("Autumn/Caf\x82.ico"));
    EXPECT_FALSE(bytes.contains("Caf\xC3\xA9"));
    for (const char* name : {"Autumn/Autumn.theme", "Autumn/boot.sys", "Autumn/Autumn.bat"})
        EXPECT_EQ(run("unzip", {"-p", zip, name}).out, folderFile(QString::fromLatin1(name).mid(7)))
            << name;
    const QByteArray install = run("unzip", {"-p", zip, "INSTALL.BAT"}).out;
    EXPECT_TRUE(install.contains("XCOPY \"Autumn\" \"C:\\SKINVAULT\\Autumn\\\" /E /I /R /Y\r\n"));
    EXPECT_TRUE(install.contains("CALL \"Autumn.bat\"\r\n"));
    EXPECT_EQ(install.count("\r\n"), install.count("\n"));
    const QByteArray readme = run("unzip", {"-p", zip, "README.TXT"}).out;
    EXPECT_TRUE(readme.contains("C:\\SKINVAULT\\Autumn\\Autumn.theme"));
    EXPECT_EQ(readme.count("\r\n"), readme.count("\n"));
}

TEST_F(ExportTest, CdImageHasShortNamesForDosLongOnesForWindowsAndTheLabel) {
    const auto result = exporting::writeIso(folder(), target("a.iso"));
    ASSERT_TRUE(result.ok) << result.error;
    const QString iso = m_dir.filePath("a.iso");
    const Ran plain = run("xorriso", {"-read_fs", "ecma119", "-indev", iso, "-find", "/"});
    const Ran volume = run("xorriso", {"-indev", iso, "-pvd_info"});
    const Ran longNames = run("xorriso", {"-indev", iso, "-find", "/"});
    for (const char* name : {"'/AUTUMN/AUTUMN.THE'", "'/AUTUMN/CAF__.ICO'", "'/INSTALL.BAT'"})
        EXPECT_TRUE(plain.out.contains(name)) << plain.out.toStdString();
    for (const QString& name :
         {QStringLiteral("'/Autumn/Autumn.theme'"), QStringLiteral("'/Autumn/Caf\u00e9.ico'")})
        EXPECT_TRUE(longNames.text().contains(name)) << longNames.out.toStdString();
    EXPECT_TRUE(volume.out.contains("Volume Id    : AUTUMN")) << volume.out.toStdString();
    const QString back = m_dir.filePath("back.sys");
    run("xorriso", {"-osirrox", "on", "-indev", iso, "-extract", "/Autumn/boot.sys", back});
    EXPECT_EQ(testdata::contents(back), folderFile("boot.sys"));
    EXPECT_EQ(exporting::volumeLabel("Blue sky 98 \xC3\xA9t\xC3\xA9"), "BLUE_SKY_98_T");
}

// Disk images made with sfdisk and mkfs.fat: a FAT16 partition, or FAT16 and FAT32 side by
// side. `folders` are made on the FAT16 one with mmd first.
class DiskImageTest : public ExportTest {
protected:
    QString makeDisk(const QString& layout, const QStringList& folders = {}) {
        const QString image = m_dir.filePath("disk.img");
        const QString script =
            QStringLiteral(
                "set -e; cd '%1'; rm -f disk.img; truncate -s 80M disk.img; printf '%2' | sfdisk "
                "-q disk.img;"
                "truncate -s 32M p1; mkfs.fat -F 16 -h 2048 p1 >/dev/null;"
                "dd if=p1 of=disk.img bs=512 seek=2048 conv=notrunc status=none;"
                "if sfdisk -d disk.img | grep -q 'type=c'; then truncate -s 47M p2;"
                "mkfs.fat -F 32 -s 1 -h 67584 p2 >/dev/null;"
                "dd if=p2 of=disk.img bs=512 seek=67584 conv=notrunc status=none; fi; rm -f p1 p2")
                .arg(m_dir.path(), layout);
        EXPECT_EQ(run("sh", {"-c", script}).exit, 0);
        for (const auto& f : folders) EXPECT_EQ(mtools("mmd", {f}, 1).exit, 0);
        return image;
    }
    QString rc(int partition) {
        const QString file = m_dir.filePath(QStringLiteral("rc%1").arg(partition));
        testdata::write(file,
                        QStringLiteral("mtools_skip_check=1\ndrive c: file=\"%1\" offset=%2\n")
                            .arg(m_dir.filePath("disk.img"))
                            .arg(partition == 1 ? 2048 * 512 : 67584 * 512)
                            .toUtf8());
        return file;
    }
    Ran mtools(const QString& tool, QStringList args, int partition) {
        return run(tool, args, rc(partition));
    }
    // fsck.fat reads one file system: the partition, cut out of the image.
    int fsck(int partition) {
        const QString cut = m_dir.filePath("cut");
        run("dd", {"if=" + m_dir.filePath("disk.img"), "of=" + cut, "bs=512",
                   partition == 1 ? "skip=2048" : "skip=67584",
                   partition == 1 ? "count=65536" : "count=96256", "status=none"});
        return run("fsck.fat", {"-n", cut}).exit;
    }
    bool tempFilesLeft() {
        return !QDir(m_dir.path()).entryList({".disk.img.*"}, QDir::Files | QDir::Hidden).isEmpty();
    }
    static constexpr const char* kTwo =
        "label: dos\\nstart=2048, size=65536, type=6\\nstart=67584, type=c\\n";
    static constexpr const char* kOne = "label: dos\\nstart=2048, size=65536, type=6\\n";
};

TEST_F(DiskImageTest, TheFolderLandsOnTheChosenPartitionCleanAndByteForByte) {
    struct Case {
        const char* layout;
        int partition;
        bool inPlace;
    };
    for (const Case& c :
         {Case{kOne, 0, false}, Case{kTwo, 2, false}, Case{kTwo, 0, false}, Case{kTwo, 2, true}}) {
        SCOPED_TRACE(c.layout + std::to_string(c.partition) + (c.inPlace ? " in place" : ""));
        makeDisk(QString::fromLatin1(c.layout));
        exporting::DiskOptions options;
        options.partition = c.partition;
        options.inPlace = c.inPlace;
        const auto result = exporting::writeDiskImage(folder(), target("disk.img"), options);
        ASSERT_TRUE(result.ok) << result.error;
        const int written = c.partition == 2 ? 2 : 1;
        const Ran listing = mtools("mdir", {"-/", "c:/SKINVAULT"}, written);
        for (const char* name : {"Autumn.theme", "Autumn.bat", "boot"})
            EXPECT_TRUE(listing.out.contains(name)) << listing.out.toStdString();
        EXPECT_EQ(fsck(written), 0);
        for (const QString& name : {QStringLiteral("Caf\u00e9.ico"), QStringLiteral("boot.sys")}) {
            const QString back = m_dir.filePath("back");
            QFile::remove(back);
            mtools("mcopy", {"c:/SKINVAULT/Autumn/" + name, back}, written);
            EXPECT_EQ(testdata::contents(back), folderFile(name)) << name.toStdString();
        }
        if (c.partition == 2) {
            EXPECT_NE(mtools("mdir", {"c:/SKINVAULT"}, 1).exit, 0) << "partition 1 untouched";
        }
        EXPECT_FALSE(tempFilesLeft());
    }
}

TEST_F(DiskImageTest, ThemesListAndLogosOnRequestKeepingTheReplacedOnes) {
    makeDisk(QString::fromLatin1(kOne), {"c:/WINDOWS", "c:/Program Files", "c:/Program Files/Plus!",
                                         "c:/Program Files/Plus!/Themes"});
    testdata::write(m_dir.filePath("old"), "the original logo");
    mtools("mcopy", {m_dir.filePath("old"), "c:/LOGO.SYS"}, 1);
    exporting::DiskOptions options;
    options.installLogos = true;
    options.logoFiles = {"boot.sys", "", "boot.sys"};
    const auto result = exporting::writeDiskImage(folder(), target("disk.img"), options);
    ASSERT_TRUE(result.ok) << result.error;
    const QString back = m_dir.filePath("back");
    auto read = [&](const QString& dosPath) {
        QFile::remove(back);
        mtools("mcopy", {dosPath, back}, 1);
        return testdata::contents(back);
    };
    // %ThemeDir% would name the Themes folder there: the copy names the theme's own.
    EXPECT_EQ(read("c:/Program Files/Plus!/Themes/Autumn.theme"),
              "[Control Panel\\Desktop]\r\nWallpaper=C:\\SKINVAULT\\Autumn\\Caf\xC3\xA9.ico\r\n");
    EXPECT_EQ(read("c:/LOGO.SYS"), folderFile("boot.sys"));
    EXPECT_EQ(read("c:/LOGO.OLD"), "the original logo");
    EXPECT_EQ(read("c:/WINDOWS/LOGOS.SYS"), folderFile("boot.sys"));
    EXPECT_NE(mtools("mdir", {"c:/WINDOWS/LOGOW.SYS"}, 1).exit, 0);
    EXPECT_NE(mtools("mdir", {"c:/WINDOWS/LOGOS.OLD"}, 1).exit, 0);  // nothing was replaced
    EXPECT_EQ(fsck(1), 0);
}

TEST_F(DiskImageTest, RefusalsLeaveTheImageAsItWas) {
    struct Case {
        const char* what;
        std::function<void(const QString& image)> prepare;
        const char* says;
        bool suggestsConverting;  // a format qemu-img turns into a raw image
    };
    auto header = [](const QByteArray& bytes, qint64 at = 0) {
        return [bytes, at](const QString& image) {
            QFile f(image);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            f.seek(at < 0 ? f.size() + at : at);
            f.write(bytes);
        };
    };
    QByteArray dynamicFooter = QByteArray("conectix").leftJustified(512, '\0');
    dynamicFooter[63] = 3;
    QByteArray gpt(16, '\0');
    gpt[4] = '\xEE';
    gpt[8] = 1;
    gpt[12] = 1;
    const std::vector<Case> cases = {
        {"qcow2", header(QByteArray::fromHex("514649fb00000003")), "QEMU qcow2 image", true},
        {"vmdk", header("KDMV"), "VMware VMDK", true},
        {"vdi", header("\x7F\x10\xDA\xBE", 0x40), "VirtualBox VDI", true},
        {"dynamic vhd", header(dynamicFooter), "dynamic VHD", true},
        {"gpt", header(gpt, 446), "GPT partition table", false},
        {"ntfs", header("\x07", 450), "no FAT partition (it holds NTFS", false},
        {"unpartitioned", header(QByteArray(512, '\0')), "no partition table", false},
        {"too small", [this](const QString&) { put("wallpaper.bmp", QByteArray(40 << 20, 'x')); },
         "Nothing was written", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString image = makeDisk(QString::fromLatin1(kOne));
        c.prepare(image);
        const QByteArray before = sha1(image);
        const auto result = exporting::writeDiskImage(folder(), target("disk.img"), {});
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(c.says), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find("qemu-img convert -O raw") != std::string::npos,
                  c.suggestsConverting)
            << result.error;
        EXPECT_EQ(sha1(image), before);
        EXPECT_FALSE(tempFilesLeft());
        QFile::remove(m_dir.filePath("Autumn/wallpaper.bmp"));
    }
}

TEST_F(DiskImageTest, AnImageInUseOrChangedOrCancelledStaysAsItWas) {
    const QString image = makeDisk(QString::fromLatin1(kOne));
    QByteArray before = sha1(image);
    {
        // As QEMU holds the image of a running machine.
        const int fd = ::open(image.toLocal8Bit().constData(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
        const auto result = exporting::writeDiskImage(folder(), target("disk.img"), {});
        ::close(fd);
        EXPECT_NE(result.error.find("in use"), std::string::npos) << result.error;
        EXPECT_EQ(sha1(image), before);
    }
    {
        std::atomic<bool> cancel{false};
        const auto result = exporting::writeDiskImage(
            folder(), target("disk.img"), {},
            [&](const exporting::Progress& p) {
                if (p.step.starts_with("Copying")) cancel = true;  // the copy has begun
            },
            &cancel);
        EXPECT_NE(result.error.find("stopped"), std::string::npos) << result.error;
        EXPECT_EQ(sha1(image), before);
        EXPECT_FALSE(tempFilesLeft());
    }
    {
        // Another program writes the image without a lock while the copy is filled.
        bool touched = false;
        const auto result = exporting::writeDiskImage(
            folder(), target("disk.img"), {}, [&](const exporting::Progress& p) {
                if (touched || p.step.find("Copying the theme") == std::string::npos) return;
                touched = true;
                QFile f(image);
                ASSERT_TRUE(f.open(QIODevice::Append));
                f.write("x");
            });
        EXPECT_NE(result.error.find("changed while"), std::string::npos) << result.error;
        EXPECT_EQ(testdata::contents(image).size(), (80 << 20) + 1);
        EXPECT_NE(mtools("mdir", {"c:/SKINVAULT"}, 1).exit, 0);
        EXPECT_FALSE(tempFilesLeft());
    }
}

TEST_F(DiskImageTest, FixedVhdKeepsItsFooter) {
    const QString image = makeDisk(QString::fromLatin1(kOne));
    QByteArray footer = QByteArray("conectix").leftJustified(512, '\0');
    footer[63] = 2;
    {
        QFile f(image);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(footer);
    }
    ASSERT_TRUE(QFile::rename(image, m_dir.filePath("disk.vhd")));
    const auto result = exporting::writeDiskImage(folder(), target("disk.vhd"), {});
    ASSERT_TRUE(result.ok) << result.error;
    const QByteArray bytes = testdata::contents(m_dir.filePath("disk.vhd"));
    EXPECT_EQ(bytes.right(512), footer);
    ASSERT_TRUE(QFile::rename(m_dir.filePath("disk.vhd"), image));
    EXPECT_EQ(mtools("mdir", {"c:/SKINVAULT/Autumn/Autumn.theme"}, 1).exit, 0);
    EXPECT_EQ(fsck(1), 0);
}

TEST(ExportKind, FromTheTargetsExtension) {
    using exporting::Kind;
    const std::vector<std::pair<const char*, std::optional<Kind>>> cases = {
        {"a.zip", Kind::Zip},       {"A.ZIP", Kind::Zip},       {"b.iso", Kind::Iso},
        {"c.img", Kind::DiskImage}, {"c.IMA", Kind::DiskImage}, {"c.hdd", Kind::DiskImage},
        {"c.vhd", Kind::DiskImage}, {"c.qcow2", std::nullopt},  {"zip", std::nullopt}};
    for (const auto& [name, kind] : cases) EXPECT_EQ(exporting::kindForPath(name), kind) << name;
}

}  // namespace

namespace {

// `skinsmith --export`, with no display at all, in a home of the test's own.
TEST(ExportCommand, WritesWithoutADisplayOrSaysWhyNot) {
    QTemporaryDir home;
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("art")));
    testdata::write(home.filePath("art/Sky.ico"), testdata::bytes(QStringLiteral("clean.ico")));
    QImage sky(64, 48, QImage::Format_RGB32);
    sky.fill(QColor(10, 20, 200));
    ASSERT_TRUE(sky.save(home.filePath("art/Sky.png"), "PNG"));
    // The icon is one Windows 98 draws, so it ships as it is; the PNG wallpaper is converted.
    testdata::write(home.filePath("art/Autumn.theme"),
                    "[Control Panel\\Desktop]\r\nWallpaper=C:\\art\\Sky.png\r\n"
                    "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\n"
                    "DefaultValue=C:\\art\\Sky.ico\r\n");
    struct Case {
        QString target;
        QString theme;
        int exit;
        QString says;
    };
    const Case cases[] = {
        {home.filePath("out.zip"), home.filePath("art/Autumn.theme"), 0, home.filePath("out.zip")},
        {home.filePath("out.rar"), home.filePath("art/Autumn.theme"), 1, ".zip (zip pack)"},
        {home.filePath("out.zip"), home.filePath("art/None.theme"), 1, "None.theme"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        QProcess tool;
        auto env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
        env.insert(QStringLiteral("HOME"), home.path());
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(SKINSMITH_BINARY_DIR "/app/skinsmith"),
                   {"--export", c.target, c.theme});
        ASSERT_TRUE(tool.waitForFinished(120000));
        EXPECT_EQ(tool.exitCode(), c.exit);
        const QString said = QString::fromUtf8(c.exit == 0 ? tool.readAllStandardOutput()
                                                           : tool.readAllStandardError());
        EXPECT_TRUE(said.contains(c.says)) << said.toStdString();
    }
    EXPECT_EQ(run("unzip", {"-t", home.filePath("out.zip")}).exit, 0);
    EXPECT_EQ(run("unzip", {"-p", home.filePath("out.zip"), "Autumn/Sky.ico"}).out,
              testdata::bytes(QStringLiteral("clean.ico")));
    const QByteArray theme =
        run("unzip", {"-p", home.filePath("out.zip"), "Autumn/Autumn.theme"}).out;
    EXPECT_TRUE(theme.contains("Wallpaper=%ThemeDir%Sky.bmp\r\n")) << theme.toStdString();
    EXPECT_EQ(run("unzip", {"-p", home.filePath("out.zip"), "Autumn/Sky.bmp"}).out.left(2), "BM");
    EXPECT_EQ(run("unzip", {"-l", home.filePath("out.zip")}).out.count("Sky.png"), 0);
}

}  // namespace
