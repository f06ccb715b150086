// SPDX-License-Identifier: MIT
// View > Fonts in the real window: fonts changed by keyboard land in the same [Metrics] records
// of the created theme, byte for byte; refused names and Cancel change nothing; Undo restores.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>

#include "platform/WindowsMetrics.h"
#include "state/ThemeFileKeys.h"
#include "window/FontsDialog.h"
#include "window/Form1Fixture.h"

namespace {

using namespace form1test;
using Bytes = std::vector<int>;

// The bytes of a [Metrics] value or line ("Key=1 2 3").
Bytes bytesOf(std::string_view text) {
    Bytes bytes;
    const QString value = QString::fromUtf8(text.substr(text.find('=') + 1).data());
    for (const QString& b : value.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        bytes.push_back(b.toInt());
    return bytes;
}
std::string textOf(const Bytes& bytes) {
    std::string text;
    for (int b : bytes) text += (text.empty() ? "" : " ") + std::to_string(b);
    return text;
}
// LOGFONTA inside the records, laid out by hand: height at 0, weight at 16, italic at 20, the
// face at 28; NONCLIENTMETRICSA's fonts start at 24, 92, 160, 220 and 280, ICONMETRICSA's at 16.
void putInt(Bytes& b, std::size_t at, std::int32_t v) {
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = static_cast<int>(static_cast<std::uint32_t>(v) >> (8 * i) & 0xFF);
}
void putFace(Bytes& b, std::size_t font, const std::string& face) {
    for (std::size_t i = 0; i <= face.size(); ++i)
        b[font + 28 + i] = i < face.size() ? static_cast<unsigned char>(face[i]) : 0;
}

const Bytes kFixedNonclient = bytesOf(state::keys::kNonclientMetricsLine);
const Bytes kFixedIcon = bytesOf(state::keys::kIconMetricsLine);
// The theme file of a new theme, typed independently of the writer.
const QByteArray kReference =
    testdata::contents(QStringLiteral(SKINSMITH_DATA_DIR "/../output/data/default.theme"));

class FontsDialogTest : public Form1Test {
protected:
    window::FontsDialog* openDialog() {
        control<QAction>("mnuViewFonts")->trigger();
        auto* dialog = m_form->findChild<window::FontsDialog*>();
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    template <typename T>
    T* part(window::FontsDialog* dialog, const QString& name) {
        T* found = dialog->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    // Types over the whole text of a control, as a user does after Ctrl+A.
    void typeOver(QWidget* w, const QString& text) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w, Qt::Key_Delete);
        for (QChar c : text)  // keyClicks sends Latin-1 only
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // Create Theme under this name; the theme file's bytes.
    QByteArray create(const QString& name) {
        auto* box = control<QLineEdit>("Text2");
        box->selectAll();
        QTest::keyClicks(box, name);
        QTest::mouseClick(control("Command1"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
        return testdata::contents(
            m_home.filePath(QStringLiteral("skinvault/%1/%1.theme").arg(name)));
    }
    static std::string lineOf(const QByteArray& file, const char* key) {
        for (const QByteArray& line : file.split('\n'))
            if (line.startsWith(key)) return line.trimmed().toStdString();
        return {};
    }
};

TEST_F(FontsDialogTest, KeyboardChangesLandInTheSameRecordsAsOneUndoableChange) {
    auto* dialog = openDialog();
    EXPECT_EQ(part<QComboBox>(dialog, "cboFace0")->currentText(), "Calisto MT");
    EXPECT_EQ(part<QSpinBox>(dialog, "spnSize0")->value(), 10);  // -13 pixels
    EXPECT_TRUE(part<QCheckBox>(dialog, "chkBold0")->isChecked());
    EXPECT_EQ(part<QComboBox>(dialog, "cboFace4")->currentText(), "MS Sans Serif");
    typeOver(part<QComboBox>(dialog, "cboFace0"), "Verdana");
    typeOver(part<QSpinBox>(dialog, "spnSize2"), "12");
    for (const char* box : {"chkBold4", "chkItalic5"}) {
        part<QCheckBox>(dialog, box)->setFocus();
        QTest::keyClick(part<QCheckBox>(dialog, box), Qt::Key_Space);
    }
    QTest::keyClick(part<QComboBox>(dialog, "cboFace0"), Qt::Key_Return);
    ASSERT_FALSE(dialog->isVisible()) << "Return is OK";
    const auto changed = theme().keptKeys;
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(control<QAction>("mnuEditUndo")->text(), "&Undo Fonts");
    QTest::keyClick(control("Text2"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(theme().keptKeys.empty()) << "Undo gives the fixed records back";
    QTest::keyClick(control("Text2"), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(theme().keptKeys, changed);

    const QByteArray file = create(QStringLiteral("Fonts"));
    Bytes nonclient = kFixedNonclient;
    putFace(nonclient, 24, "Verdana");
    putInt(nonclient, 160, -16);  // 12 points at 96 dpi
    putInt(nonclient, 280 + 16, 700);
    Bytes icon = kFixedIcon;
    icon[16 + 20] = 1;
    const std::string nonclientLine = lineOf(file, "NonclientMetrics=");
    const std::string iconLine = lineOf(file, "IconMetrics=");
    EXPECT_EQ(bytesOf(nonclientLine), nonclient) << "every other byte as it was";
    EXPECT_EQ(bytesOf(iconLine), icon);
    const auto decoded = platform::decodeNonclientMetrics(textOf(bytesOf(nonclientLine)));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->fonts[0].face, "Verdana");
    EXPECT_EQ(decoded->fonts[2].points(), 12);
    EXPECT_EQ(decoded->fonts[4].weight, 700);
    EXPECT_TRUE(platform::decodeIconMetrics(textOf(bytesOf(iconLine)))->font.italic);
    QByteArray rest = file;
    rest.replace(nonclientLine.c_str(), state::keys::kNonclientMetricsLine.data());
    rest.replace(iconLine.c_str(), state::keys::kIconMetricsLine.data());
    EXPECT_EQ(rest, kReference) << "nothing but the two records changed";
}

TEST_F(FontsDialogTest, RefusedNamesAndCancelChangeNothing) {
    auto* dialog = openDialog();
    auto* face = part<QComboBox>(dialog, "cboFace3");
    auto* ok = part<QPushButton>(dialog, "cmdFontsOK");
    const struct {
        QString face;
        const char* problem;  // empty: accepted
    } cases[] = {
        {QString::fromUtf8("Ωmega Sans"), "cannot hold"},
        {QString(32, QLatin1Char('W')), "has 32 characters; Windows 98 holds at most 31"},
        {QString(), "Type a font name for the status bar and tooltip"},
        {QString::fromUtf8("Café Grotesque"), ""},  // Windows-1252 holds é
        {QString(31, QLatin1Char('W')), ""},
    };
    for (const auto& c : cases) {
        typeOver(face, c.face);
        const QString problem = part<QLabel>(dialog, "lblFontProblem")->text();
        EXPECT_EQ(ok->isEnabled(), *c.problem == 0) << c.face.toStdString();
        EXPECT_TRUE(*c.problem ? problem.contains(QLatin1String(c.problem)) : problem.isEmpty())
            << c.face.toStdString() << ": " << problem.toStdString();
        if (*c.problem == 0) continue;
        QTest::keyClick(face, Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible()) << "a refused name is never written";
    }
    typeOver(part<QSpinBox>(dialog, "spnSize3"), "20");
    QTest::keyClick(face, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(theme().keptKeys.empty());
    EXPECT_FALSE(control<QAction>("mnuEditUndo")->isEnabled());
    EXPECT_EQ(create(QStringLiteral("Fonts")), kReference) << "a new theme stays the reference";
}

TEST_F(FontsDialogTest, AnOpenedThemeKeepsItsRecordsAndLinesAsWritten) {
    Bytes nonclient = kFixedNonclient;
    putInt(nonclient, 4, 2);  // a border of 2, as Plus! 98 themes have
    putFace(nonclient, 24, "Georgia");
    putInt(nonclient, 24, 19);  // a cell height, not a character height
    nonclient[24 + 20] = 255;   // italic, as some writers mark it
    putFace(nonclient, 160, "Comic Sans MS");
    const std::string line = "NonclientMetrics = " + textOf(nonclient);
    m_dialog.openAnswers = {
        put("Wild.theme", QByteArray::fromStdString(
                              "[Control Panel\\Colors]\r\nActiveTitle=0 0 128\r\n[Metrics]\r\n" +
                              line + "\r\nIconMetrics=76 1 2\r\n"))};
    control<QAction>("mnuFileOpen")->trigger();
    const auto opened = theme().keptKeys;
    ASSERT_EQ(opened.size(), 2u);

    auto* dialog = openDialog();
    EXPECT_EQ(part<QComboBox>(dialog, "cboFace0")->currentText(), "Georgia");
    EXPECT_EQ(part<QSpinBox>(dialog, "spnSize0")->value(), 14);  // 19 pixels
    EXPECT_TRUE(part<QCheckBox>(dialog, "chkItalic0")->isChecked());
    EXPECT_EQ(part<QComboBox>(dialog, "cboFace2")->currentText(), "Comic Sans MS");
    EXPECT_FALSE(part<QComboBox>(dialog, "cboFace5")->isEnabled()) << "an unreadable record";
    EXPECT_TRUE(part<QLabel>(dialog, "lblFontsNote")->text().contains("IconMetrics"));
    part<QCheckBox>(dialog, "chkBold0")->setFocus();
    QTest::keyClick(part<QCheckBox>(dialog, "chkBold0"), Qt::Key_Space);  // bold off
    QTest::keyClick(part<QCheckBox>(dialog, "chkBold0"), Qt::Key_Return);

    putInt(nonclient, 24 + 16, 400);
    const auto* kept = state::findKept(theme().keptKeys, "Metrics", "NonclientMetrics");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->line, "NonclientMetrics = " + textOf(nonclient))
        << "the height, the italic flag and the spelling stay";
    EXPECT_EQ(*state::findKept(theme().keptKeys, "Metrics", "IconMetrics"), opened[1]);
    QTest::keyClick(control("Text2"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(theme().keptKeys, opened);
}

}  // namespace
