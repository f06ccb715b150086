// SPDX-License-Identifier: MIT
#include "window/ThemeHistory.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QUndoCommand>
#include <QUndoStack>
#include <string_view>

#include "window/Form1.h"

namespace window {

namespace {

// Name-box steps share an id so QUndoStack offers them to each other for merging.
constexpr int kNameEditId = 1;

QString caption(std::string_view text) {
    // Button captions end in "..." or a blank; a menu item names the slot without them.
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.remove_suffix(1);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Array, typename Captions>
void differences(const Array& a, const Array& b, const Captions& captions, const QString& suffix,
                 QStringList& changed) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) changed << caption(captions[i]) + suffix;
}

class ThemeChange : public QUndoCommand {
public:
    ThemeChange(ThemeHistory& history, state::ThemeState before, state::ThemeState after,
                const QString& name, bool applied, int nameVisit)
        : QUndoCommand(name),
          m_history(history),
          m_before(std::move(before)),
          m_after(std::move(after)),
          m_applied(applied),
          m_nameVisit(nameVisit) {}

    void undo() override { m_history.show(m_before); }
    void redo() override {
        // A recorded change is in place already when it is pushed.
        if (m_applied) {
            m_applied = false;
            return;
        }
        m_history.show(m_after);
    }
    int id() const override { return m_nameVisit >= 0 ? kNameEditId : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const ThemeChange*>(other);
        if (next->m_nameVisit != m_nameVisit) return false;
        m_after = next->m_after;
        // Typing that ends where it began leaves no step.
        setObsolete(m_after == m_before);
        return true;
    }

private:
    ThemeHistory& m_history;
    state::ThemeState m_before;
    state::ThemeState m_after;
    bool m_applied;
    int m_nameVisit;  // -1 unless the step changed the name alone
};

bool isHistoryKey(const QKeyEvent* key) {
    return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
           key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y) ||
           key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
}

}  // namespace

QString describeChange(const state::ThemeState& a, const state::ThemeState& b) {
    QStringList changed;
    if (a.themeName != b.themeName) changed << QStringLiteral("Theme Name");
    if (a.wallpaperPath != b.wallpaperPath) changed << QStringLiteral("Wallpaper");
    if (a.tileWallpaper != b.tileWallpaper) changed << QStringLiteral("Tile Wallpaper");
    differences(a.iconPaths, b.iconPaths, state::kIconCaptions, QStringLiteral(" Icon"), changed);
    differences(a.pointerPaths, b.pointerPaths, state::kPointerCaptions, QStringLiteral(" Pointer"),
                changed);
    differences(a.soundPaths, b.soundPaths, state::kSoundCaptions, QStringLiteral(" Sound"),
                changed);
    if (a.screenSaverPath != b.screenSaverPath) changed << QStringLiteral("Screen Saver");
    differences(a.logoPaths, b.logoPaths, state::kLogoCaptions, QString(), changed);
    const qsizetype others = changed.size();
    differences(a.colors, b.colors, state::kColorNames, QStringLiteral(" Color"), changed);
    if (changed.size() == 1) return changed.front();
    if (others == 0 && !changed.isEmpty()) return QStringLiteral("Colors");
    return QStringLiteral("Changes");
}

ThemeHistory::ThemeHistory(Form1& form)
    : QObject(&form), m_form(form), m_stack(new QUndoStack(this)), m_recorded(form.theme()) {
    connect(&form, &Form1::themeChanged, this, &ThemeHistory::record);
    // The name box writes the state without a change signal of its own; Form1 has copied the
    // text into the state by the time this runs.
    connect(form.nameBox(), &QLineEdit::textChanged, this, &ThemeHistory::record);
    form.nameBox()->installEventFilter(this);
}

void ThemeHistory::apply(state::ThemeState theme, const QString& name) {
    record();  // anything not yet recorded stays a step of its own
    if (theme == m_recorded) return;
    m_stack->push(new ThemeChange(*this, m_recorded, std::move(theme), name, false, -1));
}

void ThemeHistory::record() {
    const state::ThemeState& now = m_form.theme();
    if (now == m_recorded) return;
    state::ThemeState nameOnly = m_recorded;
    nameOnly.themeName = now.themeName;
    const int visit = nameOnly == now ? m_nameVisit : -1;
    auto* step =
        new ThemeChange(*this, m_recorded, now, describeChange(m_recorded, now), true, visit);
    m_recorded = now;
    m_stack->push(step);
    emit stateChanged();
}

void ThemeHistory::show(const state::ThemeState& theme) {
    // Recorded first, so the change signals of putting it in place record nothing.
    m_recorded = theme;
    m_form.replaceTheme(theme);
    emit stateChanged();
}

bool ThemeHistory::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            ++m_nameVisit;
            break;
        case QEvent::ShortcutOverride:
            // The name box would undo its own typing; the Edit menu's history has it instead.
            if (isHistoryKey(static_cast<QKeyEvent*>(event))) {
                event->ignore();
                return true;
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace window
