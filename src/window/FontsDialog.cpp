// SPDX-License-Identifier: MIT
#include "window/FontsDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <optional>

#include "platform/Windows1252.h"
#include "platform/WindowsMetrics.h"
#include "state/ThemeFileKeys.h"
#include "window/Form1.h"

namespace window {

namespace {

constexpr const char* kNonclientKey = "NonclientMetrics";
constexpr const char* kIconKey = "IconMetrics";
constexpr int kNonclientFonts = 5;  // the rows before the icon title's
constexpr int kBold = 700;
constexpr int kNormal = 400;
// LOGFONTA's face holds 32 bytes with the closing NUL.
constexpr std::size_t kMaxFaceBytes = 31;

struct Item {
    const char* label;  // with its mnemonic
    const char* name;   // in messages and accessible names
};
constexpr std::array<Item, FontsDialog::kFontCount> kItems = {{
    {"C&aption", "caption"},
    {"S&mall caption", "small caption"},
    {"M&enu", "menu"},
    {"S&tatus bar and tooltip", "status bar and tooltip"},
    {"Messa&ge box", "message box"},
    {"&Icon title", "icon title"},
}};

// The faces a Windows 98 machine (with its Internet Explorer) has, so a theme can count on them.
constexpr std::array<const char*, 17> kWindowsFaces = {
    "Arial",          "Arial Black",     "Comic Sans MS", "Courier New", "Georgia",     "Impact",
    "Lucida Console", "Marlett",         "MS Sans Serif", "MS Serif",    "Small Fonts", "Symbol",
    "Tahoma",         "Times New Roman", "Trebuchet MS",  "Verdana",     "Wingdings"};

// Why Windows cannot hold this face name in a LOGFONTA, or empty when it can.
QString faceProblem(const QString& face, const char* item) {
    const QString where = QString::fromLatin1(item);
    if (face.isEmpty()) return QStringLiteral("Type a font name for the %1.").arg(where);
    const std::string utf8 = face.toStdString();
    bool control = false;
    for (QChar c : face) control = control || c.unicode() < 0x20 || c.unicode() == 0x7F;
    if (control || !platform::fitsWindows1252(utf8))
        return QStringLiteral(
                   "The %1 font \"%2\" has characters Windows 98 cannot hold in a "
                   "font name.")
            .arg(where, face);
    const std::size_t bytes = platform::toWindows1252(utf8).size();
    if (bytes > kMaxFaceBytes)
        return QStringLiteral("The %1 font name has %2 characters; Windows 98 holds at most %3.")
            .arg(where)
            .arg(bytes)
            .arg(kMaxFaceBytes);
    return {};
}

}  // namespace

QAction* FontsDialog::addMenuItem(QMenu* view, Form1& form) {
    QAction* action = view->addAction(QStringLiteral("&Fonts..."));
    action->setObjectName(QStringLiteral("mnuViewFonts"));
    QObject::connect(action, &QAction::triggered, &form, [&form] {
        auto* dialog = new FontsDialog(form.theme(), &form);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        // Applied to the theme as it is at OK, so only what was changed here changes.
        QObject::connect(dialog, &QDialog::accepted, &form, [&form, dialog] {
            form.applyChange(dialog->applyTo(form.theme()), QStringLiteral("Fonts"));
        });
        dialog->open();
    });
    return action;
}

FontsDialog::FontsDialog(const state::ThemeState& theme, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FontsDialog"));
    setWindowTitle(QStringLiteral("Fonts"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Windows 98 draws title bars, menus, tooltips, message boxes and icon "
                       "titles with these fonts. A font the machine lacks is replaced by a "
                       "similar one, there and in the preview."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    const auto nonclient =
        platform::decodeNonclientMetrics(state::keys::metricsValue(theme, kNonclientKey));
    const auto icons = platform::decodeIconMetrics(state::keys::metricsValue(theme, kIconKey));

    QStringList faces;
    for (const char* face : kWindowsFaces) faces << QString::fromLatin1(face);
    QStringList hostFaces;
    for (const QString& family : QFontDatabase::families())
        if (faceProblem(family, "").isEmpty() && !faces.contains(family, Qt::CaseInsensitive) &&
            !QFontDatabase::isPrivateFamily(family))
            hostFaces << family;

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Item"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Font"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Size"), this), 0, 2);
    for (int i = 0; i < kFontCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const QString item = QString::fromLatin1(kItems[index].name);
        const std::optional<platform::LogFont> font =
            i < kNonclientFonts
                ? (nonclient ? std::optional(nonclient->fonts[index]) : std::nullopt)
                : (icons ? std::optional(icons->font) : std::nullopt);
        const platform::LogFont shown = font.value_or(platform::LogFont{});
        Row& row = m_rows[index];

        row.face = new QComboBox(this);
        row.face->setObjectName(QStringLiteral("cboFace%1").arg(i));
        row.face->setEditable(true);
        row.face->setInsertPolicy(QComboBox::NoInsert);
        row.face->addItems(faces);
        if (!hostFaces.isEmpty()) {
            row.face->insertSeparator(row.face->count());
            row.face->addItems(hostFaces);
        }
        row.face->setEditText(QString::fromStdString(shown.face));
        row.face->setMinimumContentsLength(22);
        row.face->setAccessibleName(item + QStringLiteral(" font"));
        auto* label = new QLabel(QString::fromLatin1(kItems[index].label), this);
        label->setBuddy(row.face);

        row.size = new QSpinBox(this);
        row.size->setObjectName(QStringLiteral("spnSize%1").arg(i));
        row.size->setRange(4, 72);
        row.size->setValue(shown.points());
        row.size->setAccessibleName(item + QStringLiteral(" size in points"));

        row.bold = new QCheckBox(QStringLiteral("Bold"), this);
        row.bold->setObjectName(QStringLiteral("chkBold%1").arg(i));
        row.bold->setChecked(shown.weight >= 600);
        row.bold->setAccessibleName(item + QStringLiteral(" bold"));
        row.italic = new QCheckBox(QStringLiteral("Italic"), this);
        row.italic->setObjectName(QStringLiteral("chkItalic%1").arg(i));
        row.italic->setChecked(shown.italic);
        row.italic->setAccessibleName(item + QStringLiteral(" italic"));

        row.shownFace = row.face->currentText();
        row.shownSize = row.size->value();
        row.shownBold = row.bold->isChecked();
        row.shownItalic = row.italic->isChecked();
        for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(row.face),
                           static_cast<QWidget*>(row.size), static_cast<QWidget*>(row.bold),
                           static_cast<QWidget*>(row.italic)})
            w->setEnabled(font.has_value());
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(row.face, i + 1, 1);
        grid->addWidget(row.size, i + 1, 2);
        grid->addWidget(row.bold, i + 1, 3);
        grid->addWidget(row.italic, i + 1, 4);
        connect(row.face, &QComboBox::editTextChanged, this, &FontsDialog::checkFaces);
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    QStringList unreadable;
    if (!nonclient) unreadable << QString::fromLatin1(kNonclientKey);
    if (!icons) unreadable << QString::fromLatin1(kIconKey);
    if (!unreadable.isEmpty()) {
        auto* note = new QLabel(QStringLiteral("The theme's %1 cannot be read as a Windows 98 "
                                               "record; it is written back as it is.")
                                    .arg(unreadable.join(QStringLiteral(" and "))),
                                this);
        note->setObjectName(QStringLiteral("lblFontsNote"));
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("lblFontProblem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #a00000"));
    // Room for a two-line reason from the start, so the rows never move when one appears.
    m_problem->setMinimumHeight(2 * m_problem->fontMetrics().lineSpacing());
    layout->addWidget(m_problem);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("cmdFontsOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdFontsCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (m_ok->isEnabled()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    checkFaces();
}

void FontsDialog::checkFaces() {
    QString problem;
    for (std::size_t i = 0; i < m_rows.size() && problem.isEmpty(); ++i)
        if (m_rows[i].face->isEnabled())
            problem = faceProblem(m_rows[i].face->currentText().trimmed(), kItems[i].name);
    m_problem->setText(problem);
    m_ok->setEnabled(problem.isEmpty());
}

state::ThemeState FontsDialog::applyTo(state::ThemeState theme) const {
    // Only the fields the user changed, so a size Windows stored as a cell height or a weight
    // of 600 stays as written when the user left it.
    auto edit = [this](int i, platform::LogFont& font) {
        const Row& row = m_rows[static_cast<std::size_t>(i)];
        if (row.face->currentText() != row.shownFace)
            font.face = row.face->currentText().trimmed().toStdString();
        if (row.size->value() != row.shownSize)
            font.height = platform::LogFont::heightForPoints(row.size->value());
        if (row.bold->isChecked() != row.shownBold)
            font.weight = row.bold->isChecked() ? kBold : kNormal;
        if (row.italic->isChecked() != row.shownItalic) font.italic = row.italic->isChecked();
    };
    const std::string nonclientText = state::keys::metricsValue(theme, kNonclientKey);
    if (const auto before = platform::decodeNonclientMetrics(nonclientText)) {
        auto after = *before;
        for (int i = 0; i < kNonclientFonts; ++i) edit(i, after.fonts[static_cast<std::size_t>(i)]);
        const std::string text = platform::encodeNonclientMetrics(after, nonclientText);
        if (text != platform::encodeNonclientMetrics(*before, nonclientText))
            state::keys::setMetricsValue(theme, kNonclientKey, text);
    }
    const std::string iconText = state::keys::metricsValue(theme, kIconKey);
    if (const auto before = platform::decodeIconMetrics(iconText)) {
        auto after = *before;
        edit(kNonclientFonts, after.font);
        const std::string text = platform::encodeIconMetrics(after, iconText);
        if (text != platform::encodeIconMetrics(*before, iconText))
            state::keys::setMetricsValue(theme, kIconKey, text);
    }
    return theme;
}

}  // namespace window
