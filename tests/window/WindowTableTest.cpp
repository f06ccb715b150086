// SPDX-License-Identifier: MIT
// The window as its tables fix it: every control's name, kind, caption, hint and place, and
// the fixed lists and texts, typed from the tables in twips and converted here by this test's
// own arithmetic.

#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

// Twips to pixels at the screen's logical resolution: 1440 twips an inch. Edges are rounded,
// so a width is the difference of two rounded edges.
QRect twipsToPixels(const QRect& twips) {
    const double perTwip = QGuiApplication::primaryScreen()->logicalDotsPerInch() / 1440.0;
    auto px = [perTwip](int twips) { return static_cast<int>(std::lround(twips * perTwip)); };
    return {px(twips.left()), px(twips.top()), px(twips.left() + twips.width()) - px(twips.left()),
            px(twips.top() + twips.height()) - px(twips.top())};
}

QStringList split(const char* items) {
    return QString::fromLatin1(items).split(QLatin1Char('|'));
}

enum In { Window, Page, Frame };  // what the place is measured from: a frame's place is its own

struct Control {
    QString name;
    const char* kind;
    In in;
    int page;  // the tab that holds it; -1 on the window
    QRect twips;
    QString caption;  // empty: not checked
    QString hint;     // empty: none
};

const QString kIcon = QStringLiteral("Double Click the picture box to select/change icons");
const QString kWall = QStringLiteral("Double Click the picture box to select/change wallpaper");
const QString kCursor =
    QStringLiteral("Pause the mouse pointer over each button to preview the cursor if any");
const QString kLogo = QStringLiteral("Click here to preview the logo");
const QString kLogos = QStringLiteral("Click the text boxes on the left to preview the logo");
const QString kWave =
    QStringLiteral("Left click to select wave file; right click to preview wave file");

std::vector<Control> windowTable() {
    std::vector<Control> t = {
        // The tab control is cut to the client width (8715 of 8895 twips) so no edge is clipped.
        {"SSTab1", "QWidget", Window, -1, {0, 0, 8715, 4575}, {}, {}},
        {"Command1", "QPushButton", Window, -1, {1080, 4680, 2175, 615}, "Create Theme", {}},
        {"Command3", "QPushButton", Window, -1, {5520, 4680, 2175, 615}, "Exit ", {}},
        {"Label1_0", "QLabel", Page, 0, {360, 1440, 1695, 495}, "My Computer", {}},
        {"Image1", "QLabel", Page, 0, {2040, 1200, 1215, 1095}, {}, kIcon},
        {"Label1_1", "QLabel", Page, 0, {360, 2880, 1695, 495}, "Network Neighbourhood", {}},
        {"Image5", "QLabel", Page, 0, {2040, 2880, 1215, 1095}, {}, kIcon},
        {"Label1_2", "QLabel", Page, 0, {3960, 1440, 1695, 495}, "Recycle Bin Full", {}},
        {"Image4", "QLabel", Page, 0, {6240, 1200, 1215, 1095}, {}, kIcon},
        {"Label1_3", "QLabel", Page, 0, {3960, 2880, 1695, 495}, "Recycle Bin Empty", {}},
        {"Image6", "QLabel", Page, 0, {6240, 2880, 1215, 1095}, {}, kIcon},
        {"Image2", "QLabel", Page, 1, {1080, 840, 4935, 3495}, {}, kWall},
        {"Check1", "QCheckBox", Page, 1, {6240, 2280, 2175, 495}, "Tile the image ", {}},
        {"Image3", "QLabel", Page, 2, {600, 840, 855, 735}, {}, kCursor},
        {"Text4", "QLineEdit", Page, 2, {2520, 960, 5655, 375}, {}, {}},
        {"Label3", "QLabel", Page, 3, {960, 1080, 6255, 495}, kWave, {}},
        {"MMControl1", "QWidget", Page, 3, {7440, 1680, 900, 495}, {}, {}},
        {"List1", "QListWidget", Page, 4, {480, 960, 4455, 3375}, {}, {}},
        {"Frame2", "QWidget", Page, 4, {5520, 1080, 2775, 975}, "Color", {}},
        {"Picture1", "QFrame", Frame, 4, {120, 240, 2535, 615}, {}, {}},
        {"Command12", "QPushButton", Page, 4, {6000, 2880, 1815, 615}, "Change color", {}},
        {"Command4", "QPushButton", Page, 5, {480, 1320, 1335, 495}, "Select . . .", {}},
        {"Text1", "QLineEdit", Page, 5, {2760, 1320, 5775, 495}, {}, {}},
        {"Command5", "QPushButton", Page, 5, {1320, 2880, 2175, 495}, "Test Screensaver", {}},
        {"Command6", "QPushButton", Page, 5, {4440, 2880, 2175, 495}, "Configure Screensaver", {}},
        {"Text5", "QPlainTextEdit", Page, 6, {960, 1200, 6855, 2775}, {}, {}},
        {"Label2", "QLabel", Page, 7, {360, 1320, 2055, 495}, "Enter a name for the  theme:-", {}},
        {"Text2", "QLineEdit", Page, 7, {2880, 1200, 5055, 495}, {}, {}},
        {"Frame1", "QWidget", Page, 7, {960, 1920, 6855, 2415}, "Splash Screens", {}},
        {"Command7", "QPushButton", Frame, 7, {360, 240, 1455, 495}, "Startup logo...", {}},
        {"Text3_0", "QLineEdit", Frame, 7, {2160, 240, 2535, 495}, {}, kLogo},
        {"Command8", "QPushButton", Frame, 7, {360, 900, 1455, 495}, "Shutdown wait...", {}},
        {"Text3_1", "QLineEdit", Frame, 7, {2160, 900, 2535, 495}, {}, kLogo},
        {"Command9", "QPushButton", Frame, 7, {360, 1560, 1455, 495}, "Shutdown safe...", {}},
        {"Text3_2", "QLineEdit", Frame, 7, {2160, 1560, 2535, 495}, {}, kLogo},
        {"Image7", "QLabel", Frame, 7, {5040, 240, 1695, 1815}, {}, kLogos},
    };
    // Pointer buttons: columns at 840, 3120 and 5640 twips; 0-8 fill the three columns top
    // down, 9-11 make a fourth row.
    const QStringList cursors = split(
        "Normal Select...|Working in background...|Busy...|Precision select...|Text select...|"
        "Unavailable...|Vertical resize...|Horizontal resize...|Diagonal resize ...|"
        "Help select...|Move...|Inverse Diagonal resize...");
    const int left[] = {840, 3120, 5640};
    for (int i = 0; i < 12; ++i) {
        const int column = i < 9 ? i / 3 : i - 9, row = i < 9 ? i % 3 : 3;
        const QRect place(left[column], 1680 + 720 * row, 1935, 495);
        t.push_back(
            {QStringLiteral("Command10_%1").arg(i), "QPushButton", Page, 2, place, cursors[i], {}});
    }
    // Sound buttons: four columns of five, filled column by column, in alphabetical order.
    const QStringList sounds = split(
        "Asterisk|Close program|Critical stop|Default beep|Default sound|Empty Recycle bin|"
        "Exclamation|Exit Windows|Maximize|Menu command|Menu popup|Minimize|Open program|"
        "Program error|Question|Restore down|Restore up|Ring in|Ring out|Start Windows");
    for (int i = 0; i < 20; ++i) {
        const QRect place(720 + 1560 * (i / 5), 1800 + 480 * (i % 5), 1575, 495);
        t.push_back(
            {QStringLiteral("Command11_%1").arg(i), "QPushButton", Page, 3, place, sounds[i], {}});
    }
    return t;
}

TEST_F(Form1Test, EveryControlHasItsNameKindCaptionHintAndPlace) {
    auto* tabs = m_form->tabs();
    for (const Control& c : windowTable()) {
        SCOPED_TRACE(c.name.toStdString());
        auto* widget = m_form->findChild<QWidget*>(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(c.kind)) << widget->metaObject()->className();
        EXPECT_TRUE(c.in == Window || tabs->page(c.page)->isAncestorOf(widget));
        const QPoint at = c.in == Window ? widget->mapTo(m_form->client(), QPoint())
                          : c.in == Page ? widget->mapTo(tabs, QPoint())
                                         : widget->pos();
        EXPECT_EQ(QRect(at, widget->size()), twipsToPixels(c.twips));
        if (!c.caption.isEmpty()) {
            const QVariant text = widget->property("text");
            EXPECT_EQ(text.isValid() ? text.toString() : widget->property("title").toString(),
                      c.caption);
        }
        // A chosen file's path may follow the hint.
        EXPECT_TRUE(c.hint.isEmpty() ? widget->toolTip().isEmpty()
                                     : widget->toolTip().startsWith(c.hint))
            << widget->toolTip().toStdString();
    }

    const QStringList pages = split(
        "Desktop icons|Wallpaper|Mouse Pointers|Sounds|Theme Colors|Screen Saver|About|Theme Info");
    ASSERT_EQ(tabs->count(), pages.size());
    for (int i = 0; i < tabs->count(); ++i) EXPECT_EQ(tabs->caption(i), pages[i]);

    const QStringList colours = split(
        "Active Border|Active Title|App Workspace|Background|Button Dark Shadow|Button face|"
        "Button highlight|Button light|Button shadow|Button text|Gray text|Highlight|"
        "Highlight text|Inactive border|Inactive title|Inactive title text|Info text|"
        "Info window|Menu|Menu text|Scrollbar|Title text|Window|Window frame|Window frame text");
    auto* list = control<QListWidget>("List1");
    ASSERT_EQ(list->count(), colours.size());
    for (int i = 0; i < list->count(); ++i) EXPECT_EQ(list->item(i)->text(), colours[i]);

    auto* about = control<QPlainTextEdit>("Text5");
    EXPECT_EQ(about->toPlainText(),
              QStringLiteral("Skinsmith for Microsoft Plus!\n\nProgrammed by \nThe Skinsmith "
                             "developers\nhttps://skinsmith.example.org\n\nRequirements\n"
                             "Windows 95/98\nMicrosoft Plus!/98 Plus"));
    EXPECT_TRUE(control<QLabel>("Label3")->font().bold());
    for (const char* label : {"Label2", "Label3"})
        EXPECT_EQ(control<QLabel>(label)->alignment(), Qt::AlignLeft | Qt::AlignTop) << label;
    EXPECT_TRUE(about->font().bold());
    EXPECT_EQ(about->palette().color(QPalette::Base), QColor(128, 128, 128));
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Skinsmith for Microsoft Plus! "));
    EXPECT_EQ(m_form->client()->size(), twipsToPixels({0, 0, 8715, 5325}).size());
}

}  // namespace
