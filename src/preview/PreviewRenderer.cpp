// SPDX-License-Identifier: MIT
#include "preview/PreviewRenderer.h"

#include <QBrush>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <mutex>
#include <optional>

#include "platform/WindowsMetrics.h"
#include "state/ThemeFileKeys.h"

namespace preview {

namespace {

// Colour elements, by their place in the Theme Colors list.
enum Element {
    ActiveBorder,
    ActiveTitle,
    AppWorkspace,
    Background,
    ButtonDkShadow,
    ButtonFace,
    ButtonHilight,
    ButtonLight,
    ButtonShadow,
    ButtonText,
    GrayText,
    Hilight,
    HilightText,
    InactiveBorder,
    InactiveTitle,
    InactiveTitleText,
    InfoText,
    InfoWindow,
    Menu,
    MenuText,
    Scrollbar,
    TitleText,
    Window,
    WindowFrame,
    WindowText,
    // Windows 98's own, after the list's 25.
    GradientActiveTitle,
    GradientInactiveTitle,
    HotTrackingColor,
};
constexpr int kNone = -1;

// Where a value a theme file gives is beyond what any screen shows, the preview stops there.
int bounded(std::int32_t value, int low, int high) {
    return static_cast<int>(std::clamp<std::int32_t>(value, low, high));
}

// Wine's MS Sans Serif (bitmap strikes at the sizes Windows drew) and Marlett, once per run.
void loadSystemFaces() {
    static const bool loaded = [] {
        for (const char* file :
             {"/usr/share/wine/fonts/ms_sans_serif.ttf", "/usr/share/wine/fonts/marlett.ttf"})
            QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        return true;
    }();
    (void)loaded;
}

// Whether a face is installed. Asking the font database resolves aliases through fontconfig,
// which costs more than a whole render, so each answer is kept until fonts are added.
std::mutex g_facesMutex;
QHash<QString, bool> g_faces;

bool hasFace(const QString& family) {
    loadSystemFaces();  // so Wine's faces are never judged missing before they are added
    const std::lock_guard<std::mutex> lock(g_facesMutex);
    const auto known = g_faces.constFind(family);
    if (known != g_faces.constEnd()) return *known;
    const bool has = QFontDatabase::hasFamily(family);
    g_faces.insert(family, has);
    return has;
}

void forgetFaces() {
    const std::lock_guard<std::mutex> lock(g_facesMutex);
    g_faces.clear();
}

QString systemFamily() {
    // Liberation Sans has the metrics of the 8-point MS Sans Serif where Wine's face is missing.
    return hasFace(QStringLiteral("MS Sans Serif")) ? QStringLiteral("MS Sans Serif")
                                                    : QStringLiteral("Liberation Sans");
}

// A LOGFONT as Windows 98 draws it: without smoothing; a face missing here is replaced the way
// the font mapper would, by the family its pitch-and-family byte names.
QFont fontFor(const platform::LogFont& logFont) {
    QString family = QString::fromStdString(logFont.face);
    if (family.isEmpty() || !hasFace(family)) {
        switch (logFont.pitchAndFamily & 0xF0) {
            case 0x10:  // FF_ROMAN
                family = QStringLiteral("Liberation Serif");
                break;
            case 0x30:  // FF_MODERN
                family = QStringLiteral("Liberation Mono");
                break;
            default:
                family = systemFamily();
        }
    }
    QFont font(family);
    // A negative height is the character height, a positive one the cell height.
    const int height = bounded(logFont.height < 0 ? -logFont.height : logFont.height, 6, 48);
    font.setPixelSize(logFont.height > 0 ? std::max(6, height * 4 / 5) : height);
    font.setWeight(
        static_cast<QFont::Weight>(bounded(logFont.weight == 0 ? 400 : logFont.weight, 100, 900)));
    font.setItalic(logFont.italic);
    font.setStyleStrategy(QFont::NoAntialias);
    // Full hinting keeps aliased glyphs on whole pixels; without it letters run together.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont systemFont() {
    QFont font(systemFamily());
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The sizes the preview draws with, from the theme's NONCLIENTMETRICS.
struct Sizes {
    int frame;    // a sizable window's frame: two 3-D edges and the border
    int border;   // the border colour's ring inside the edges
    int caption;  // caption bar height
    int buttonWidth;
    int buttonHeight;
    int menuBar;
    int scroll;
};

Sizes sizesOf(const platform::NonclientMetrics& m) {
    Sizes s{};
    s.border = bounded(m.borderWidth, 0, 15) + 1;
    s.frame = 2 + s.border;
    s.caption = bounded(m.captionHeight, 8, 48);
    s.buttonWidth = bounded(m.captionWidth, 6, 48) - 2;
    s.buttonHeight = s.caption - 4;
    s.menuBar = bounded(m.menuHeight, 8, 48) + 1;
    s.scroll = bounded(m.scrollWidth, 8, 48);
    return s;
}

}  // namespace

// Draws with the theme's colours and records where each element lands.
class Canvas {
public:
    Canvas(QImage& image, const state::ThemeState& theme, PreviewRenderer& renderer)
        : m_painter(&image), m_theme(theme), m_renderer(renderer), m_normal(systemFont()) {
        const auto metrics =
            platform::decodeNonclientMetrics(state::keys::metricsValue(theme, "NonclientMetrics"))
                .value_or(platform::NonclientMetrics{});
        m_sizes = sizesOf(metrics);
        m_caption = fontFor(metrics.fonts[0]);
        m_menu = fontFor(metrics.fonts[2]);
        m_status = fontFor(metrics.fonts[3]);
        m_message = fontFor(metrics.fonts[4]);
        const auto icons =
            platform::decodeIconMetrics(state::keys::metricsValue(theme, "IconMetrics"));
        m_icon = icons ? fontFor(icons->font) : m_normal;
    }

    // A Windows 98 colour the theme sets (as a kept line), or none.
    std::optional<QColor> extra(int element) const {
        const auto key =
            state::kExtraColorKeys[static_cast<std::size_t>(element) - state::kColorCount];
        const auto c = state::keptColor(m_theme.keptKeys, key);
        if (!c) return std::nullopt;
        return QColor(static_cast<int>(state::red(*c)), static_cast<int>(state::green(*c)),
                      static_cast<int>(state::blue(*c)));
    }

    QColor colour(int element) const {
        if (element >= static_cast<int>(state::kColorCount))
            return extra(element).value_or(Qt::black);
        const state::Color c = m_theme.colors[static_cast<std::size_t>(element)];
        return QColor(static_cast<int>(state::red(c)), static_cast<int>(state::green(c)),
                      static_cast<int>(state::blue(c)));
    }

    void fill(const QRect& rect, int element) {
        m_painter.fillRect(rect, colour(element));
        record(rect, element);
        ++m_renderer.m_rectangles;
    }

    // Text in an element's colour; the hit region is the text's own box.
    QRect text(const QRect& rect, int element, const QString& words,
               int flags = Qt::AlignLeft | Qt::AlignVCenter, const QFont* font = nullptr,
               QColor colourOverride = {}) {
        m_painter.setFont(font ? *font : m_normal);
        m_painter.setPen(colourOverride.isValid() ? colourOverride : colour(element));
        QRect box;
        m_painter.drawText(rect, flags, words, &box);
        // The bitmap MS Sans Serif has no bold strike: Windows emboldens it by doubling stems.
        const bool doubled = font && font->weight() >= QFont::DemiBold &&
                             font->family() == QStringLiteral("MS Sans Serif");
        if (doubled) m_painter.drawText(rect.translated(1, 0), flags, words);
        record(box.adjusted(0, 0, doubled ? 1 : 0, 0).intersected(rect), element);
        ++m_renderer.m_texts;
        return box;
    }

    QRect textBox(const QRect& rect, int flags, const QString& words, const QFont* font = nullptr) {
        m_painter.setFont(font ? *font : m_normal);
        return m_painter.boundingRect(rect, flags, words);
    }

    void record(const QRect& rect, int element) { m_renderer.m_regions.push_back({rect, element}); }

    // One 3-D edge: top and left in one colour, bottom and right in the other.
    void edge(const QRect& r, int topLeft, int bottomRight) {
        fill(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
        fill(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
        fill(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        fill(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    }

    void ring(const QRect& r, int width, int element) {
        fill(QRect(r.left(), r.top(), r.width(), width), element);
        fill(QRect(r.left(), r.bottom() - width + 1, r.width(), width), element);
        fill(QRect(r.left(), r.top() + width, width, r.height() - 2 * width), element);
        fill(QRect(r.right() - width + 1, r.top() + width, width, r.height() - 2 * width), element);
    }

    // A push button: face, then highlight/dark shadow outside and light/shadow inside.
    void button(const QRect& r) {
        fill(r, ButtonFace);
        edge(r, ButtonHilight, ButtonDkShadow);
        edge(r.adjusted(1, 1, -1, -1), ButtonLight, ButtonShadow);
    }

    // The client edge of an edit field or MDI area.
    void sunken(const QRect& r) {
        edge(r, ButtonShadow, ButtonHilight);
        edge(r.adjusted(1, 1, -1, -1), ButtonDkShadow, ButtonLight);
    }

    enum class Glyph { Minimize, Maximize, Close, Up, Down };

    void glyph(const QRect& r, Glyph kind) {
        const int cx = r.left() + r.width() / 2;
        const int cy = r.top() + r.height() / 2;
        switch (kind) {
            case Glyph::Minimize:
                fill(QRect(cx - 4, cy + 2, 6, 2), ButtonText);
                break;
            case Glyph::Maximize:
                fill(QRect(cx - 5, cy - 4, 9, 2), ButtonText);
                fill(QRect(cx - 5, cy - 2, 1, 6), ButtonText);
                fill(QRect(cx + 3, cy - 2, 1, 6), ButtonText);
                fill(QRect(cx - 5, cy + 3, 9, 1), ButtonText);
                break;
            case Glyph::Close:
                for (int i = 0; i < 7; ++i) {
                    fill(QRect(cx - 4 + i, cy - 4 + i, 2, 1), ButtonText);
                    fill(QRect(cx + 2 - i - 1, cy - 4 + i, 2, 1), ButtonText);
                }
                break;
            case Glyph::Up:
            case Glyph::Down:
                for (int i = 0; i < 4; ++i) {
                    const int row = kind == Glyph::Up ? cy - 2 + i : cy + 1 - i;
                    fill(QRect(cx - i, row, 2 * i + 1, 1), ButtonText);
                }
                break;
        }
    }

    // A sizable window; returns its client area (below the caption and menu bar).
    QRect window(const QRect& r, bool active, const QString& title, bool menuBar,
                 bool closeOnly = false) {
        edge(r, ButtonLight, ButtonDkShadow);
        edge(r.adjusted(1, 1, -1, -1), ButtonHilight, ButtonShadow);
        ring(r.adjusted(2, 2, -2, -2), m_sizes.border, active ? ActiveBorder : InactiveBorder);
        const int frame = m_sizes.frame;
        const QRect inner = r.adjusted(frame, frame, -frame, -frame);
        const QRect caption(inner.left(), inner.top(), inner.width(), m_sizes.caption);
        fill(caption, active ? ActiveTitle : InactiveTitle);
        gradient(caption, active);
        const int bw = m_sizes.buttonWidth;
        text(caption.adjusted(4, 0, -(3 * bw + 8), 0), active ? TitleText : InactiveTitleText,
             title, Qt::AlignLeft | Qt::AlignVCenter, &m_caption);
        const QRect close(caption.right() - bw - 1, caption.top() + 2, bw, m_sizes.buttonHeight);
        const QRect maximize = close.translated(-(bw + 2), 0);
        const QRect minimize = maximize.translated(-bw, 0);
        // A message box has only its close button.
        button(close);
        glyph(close, Glyph::Close);
        if (!closeOnly) {
            for (const auto& [box, kind] :
                 {std::pair{minimize, Glyph::Minimize}, std::pair{maximize, Glyph::Maximize}}) {
                button(box);
                glyph(box, kind);
            }
        }
        int top = caption.bottom() + 1;
        if (menuBar) {
            const QRect bar(inner.left(), top, inner.width(), m_sizes.menuBar);
            fill(bar, Menu);
            const int flags = Qt::AlignLeft | Qt::AlignVCenter;
            int x = bar.left() + 6;
            x = text(QRect(x, bar.top(), 80, bar.height()), MenuText, QStringLiteral("Normal"),
                     flags, &m_menu)
                    .right() +
                14;
            // Disabled items are embossed: the highlight offset under the grey text.
            const QRect disabled(x, bar.top(), 80, bar.height());
            text(disabled.translated(1, 1), ButtonHilight, QStringLiteral("Disabled"), flags,
                 &m_menu);
            x = text(disabled, GrayText, QStringLiteral("Disabled"), flags, &m_menu).right() + 8;
            const QRect selectedWords = textBox(QRect(x + 6, bar.top(), 80, bar.height()), flags,
                                                QStringLiteral("Selected"), &m_menu);
            fill(QRect(x, bar.top() + 1, selectedWords.width() + 12, bar.height() - 2), Hilight);
            text(QRect(x + 6, bar.top(), 80, bar.height()), HilightText, QStringLiteral("Selected"),
                 flags, &m_menu);
            top = bar.bottom() + 1;
        }
        return QRect(inner.left(), top, inner.width(), inner.bottom() - top + 1);
    }

    // Windows 98 shades a caption from the title colour at the left to the gradient colour at
    // the right, column by column, when the theme sets a gradient colour. The right half
    // answers to the gradient colour in the hit test.
    void gradient(const QRect& caption, bool active) {
        const int title = active ? ActiveTitle : InactiveTitle;
        const int element = active ? GradientActiveTitle : GradientInactiveTitle;
        const auto end = extra(element);
        if (!end) return;
        const QColor start = colour(title);
        const int width = std::max(1, caption.width() - 1);
        for (int x = 0; x < caption.width(); ++x) {
            auto mix = [&](int a, int b) { return a + (b - a) * x / width; };
            m_painter.fillRect(
                QRect(caption.left() + x, caption.top(), 1, caption.height()),
                QColor(mix(start.red(), end->red()), mix(start.green(), end->green()),
                       mix(start.blue(), end->blue())));
        }
        record(caption.adjusted(caption.width() / 2, 0, 0, 0), element);
        ++m_renderer.m_rectangles;
    }

    void scrollBar(const QRect& r) {
        const int w = m_sizes.scroll;
        const QRect up(r.left(), r.top(), w, w);
        const QRect down(r.left(), r.bottom() - w + 1, w, w);
        fill(QRect(r.left(), up.bottom() + 1, w, down.top() - up.bottom() - 1), Scrollbar);
        button(up);
        glyph(up, Glyph::Up);
        button(down);
        glyph(down, Glyph::Down);
        button(QRect(r.left(), up.bottom() + 1 + 12, w, 28));  // the thumb
    }

    void tooltip(QPoint at, const QString& words) {
        // Windows 98 writes tooltips in the status bar font.
        const QRect box =
            textBox(QRect(at, QSize(200, 20)), Qt::AlignLeft | Qt::AlignTop, words, &m_status);
        const QRect r(at, QSize(box.width() + 8, box.height() + 4));
        fill(r, InfoWindow);
        edge(r, WindowFrame, WindowFrame);
        text(r, InfoText, words, Qt::AlignCenter, &m_status);
    }

    void desktopIcon(const QRect& cell, const QImage& icon, const QString& label) {
        const QRect iconBox(cell.left() + (cell.width() - 32) / 2, cell.top(), 32, 32);
        if (!icon.isNull()) m_painter.drawImage(iconBox, icon);
        record(iconBox, kNone);
        // Labels sit on the Background colour, in white or black, whichever reads on it.
        const QRect area(cell.left(), iconBox.bottom() + 4, cell.width(), 30);
        const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
        const QRect words = textBox(area, flags, label, &m_icon);
        fill(words.adjusted(-2, 0, 2, 1), Background);
        const QColor back = colour(Background);
        const QColor ink = qGray(back.rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black);
        m_painter.setFont(m_icon);
        m_painter.setPen(ink);
        m_painter.drawText(area, flags, label);
        ++m_renderer.m_texts;
    }

    QPainter m_painter;

private:
    const state::ThemeState& m_theme;
    PreviewRenderer& m_renderer;
    QFont m_normal;
    Sizes m_sizes{};
    QFont m_caption, m_menu, m_status, m_message, m_icon;

public:
    const Sizes& sizes() const { return m_sizes; }
    const QFont& messageFont() const { return m_message; }
};

QImage PreviewRenderer::render(const state::ThemeState& theme, const PreviewPictures& pictures,
                               QSize size) {
    QImage image;
    render(image, theme, pictures, size);
    return image;
}

void PreviewRenderer::render(QImage& image, const state::ThemeState& theme,
                             const PreviewPictures& pictures, QSize size) {
    loadSystemFaces();
    m_regions.clear();
    m_rectangles = 0;
    m_texts = 0;
    // A picture of the same size is drawn over, not made anew: at 1920 x 1080 a fresh one
    // costs more than the drawing.
    if (image.size() != size.expandedTo(QSize(1, 1)) || image.format() != QImage::Format_RGB32)
        image = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    Canvas canvas(image, theme, *this);
    QPainter& painter = canvas.m_painter;
    const QRect desktop = image.rect();

    // The desktop: Background, under the wallpaper tiled from the corner or centred.
    const QImage& wallpaper = pictures.wallpaper;
    if (theme.tileWallpaper && !wallpaper.isNull()) {
        canvas.record(desktop, Background);  // covered, but it still stands under the labels
        if (pictures.tiled.size() == desktop.size())
            painter.drawImage(0, 0, pictures.tiled);
        else
            painter.fillRect(desktop, QBrush(wallpaper));
        canvas.record(desktop, kNone);
    } else if (wallpaper.isNull()) {
        canvas.fill(desktop, Background);
    } else {
        const QSize shown =
            pictures.wallpaperSize.isValid() ? pictures.wallpaperSize : wallpaper.size();
        const QRect box(
            QPoint((desktop.width() - shown.width()) / 2, (desktop.height() - shown.height()) / 2),
            shown);
        // Background shows only around the picture.
        const QRect bands[] = {QRect(0, 0, desktop.width(), box.top()),
                               QRect(0, box.bottom() + 1, desktop.width(), desktop.height()),
                               QRect(0, box.top(), box.left(), box.height()),
                               QRect(box.right() + 1, box.top(), desktop.width(), box.height())};
        for (const QRect& band : bands)
            if (const QRect shown = band & desktop; !shown.isEmpty())
                canvas.fill(shown, Background);
        if (shown == wallpaper.size())
            painter.drawImage(box.topLeft(), wallpaper);
        else
            painter.drawImage(box, wallpaper);  // stretched as drawn, without smoothing
        canvas.record(box, kNone);
    }
    // Named as on the Desktop icons page; an empty Recycle Bin shows its empty icon.
    const std::array<std::pair<std::size_t, QString>, 3> items = {
        std::pair{std::size_t{0}, QStringLiteral("My Computer")},
        std::pair{std::size_t{1},
                  QString::fromUtf8(state::kIconCaptions[1].data(),
                                    static_cast<qsizetype>(state::kIconCaptions[1].size()))},
        std::pair{std::size_t{3}, QStringLiteral("Recycle Bin")}};
    for (std::size_t i = 0; i < items.size(); ++i)
        canvas.desktopIcon(QRect(8, 10 + 72 * static_cast<int>(i), 76, 66),
                           pictures.icons[items[i].first], items[i].second);

    // An inactive MDI parent: its workspace shows through around a child window.
    const QRect workspace =
        canvas.window(QRect(300, 10, 320, 190), false, QStringLiteral("Inactive Window"), false);
    canvas.sunken(workspace);
    canvas.fill(workspace.adjusted(2, 2, -2, -2), AppWorkspace);
    const QRect child = canvas.window(QRect(workspace.left() + 10, workspace.top() + 10, 150, 90),
                                      false, QStringLiteral("Document"), false);
    canvas.fill(child, Window);

    // The active window: menu bar, window text, selected text and a scroll bar.
    const QRect client =
        canvas.window(QRect(330, 110, 300, 230), true, QStringLiteral("Active Window"), true);
    canvas.sunken(client);
    const QRect page = client.adjusted(2, 2, -2, -2);
    canvas.fill(page, Window);
    canvas.text(QRect(page.left() + 6, page.top() + 6, 200, 16), WindowText,
                QStringLiteral("Window Text"));
    const QRect selected =
        canvas.textBox(QRect(page.left() + 8, page.top() + 26, 200, 16),
                       Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Selected Text"));
    canvas.fill(QRect(page.left() + 6, page.top() + 26, selected.width() + 4, 16), Hilight);
    canvas.text(QRect(page.left() + 8, page.top() + 26, 200, 16), HilightText,
                QStringLiteral("Selected Text"));
    // A hot-tracked item (an underlined link under the pointer) where the theme sets its colour.
    if (canvas.extra(HotTrackingColor)) {
        const QRect link(page.left() + 8, page.top() + 46, 200, 16);
        const QRect words = canvas.text(link, HotTrackingColor, QStringLiteral("Hot-tracked item"));
        canvas.fill(QRect(words.left(), words.bottom(), words.width(), 1), HotTrackingColor);
    }
    const int scroll = canvas.sizes().scroll;
    canvas.scrollBar(QRect(page.right() - scroll + 1, page.top(), scroll, page.height()));

    // A message box with its text and its default OK button.
    const QRect box =
        canvas.window(QRect(150, 300, 230, 110), true, QStringLiteral("Message Box"), false, true);
    canvas.fill(box, ButtonFace);
    // Message text is black: the theme file writes MessageBoxText as 0 0 0.
    canvas.text(QRect(box.left() + 12, box.top() + 10, box.width() - 24, 18), ButtonFace,
                QStringLiteral("Message Text"), Qt::AlignLeft | Qt::AlignVCenter,
                &canvas.messageFont(), QColor(Qt::black));
    const QRect ok(box.left() + (box.width() - 75) / 2, box.bottom() - 32, 75, 23);
    canvas.edge(ok, WindowFrame, WindowFrame);  // the default button's frame
    canvas.button(ok.adjusted(1, 1, -1, -1));
    canvas.text(ok, ButtonText, QStringLiteral("OK"), Qt::AlignCenter);

    canvas.tooltip(QPoint(420, 356), QStringLiteral("Tooltip"));
}

int PreviewRenderer::elementAt(QPoint point) const {
    // The last drawn is topmost.
    for (std::size_t i = m_regions.size(); i-- > 0;)
        if (m_regions[i].rect.contains(point)) return m_regions[i].element;
    return kNone;
}

int loadThemeFonts(const std::filesystem::path& themeFolder) {
    int loaded = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(themeFolder, error), end; !error && it != end;
         it.increment(error)) {
        std::string ext = it->path().extension().string();
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".ttf" || !it->is_regular_file(error) || it->file_size(error) > (4u << 20))
            continue;
        if (QFontDatabase::addApplicationFont(QString::fromStdString(it->path().string())) >= 0)
            ++loaded;
        if (loaded == 32) break;
    }
    if (loaded > 0) forgetFaces();  // a face missing before may be here now
    return loaded;
}

platform::PictureRegion visibleWallpaper(QSize picture, QSize size, bool tiled) {
    // One axis: the source span shown and the pixels it is drawn on.
    auto axis = [tiled](int own, int shown, int screen, int& from, int& span, int& drawn) {
        if (own <= screen) {
            from = 0;
            span = own;
            drawn = std::max(1, static_cast<int>(qint64(own) * shown / screen));
        } else {
            from = tiled ? 0 : (own - screen) / 2;
            span = screen;
            drawn = std::max(1, shown);
        }
    };
    int x = 0, width = 0, drawnWidth = 0, y = 0, height = 0, drawnHeight = 0;
    axis(picture.width(), size.width(), kScreenSize.width(), x, width, drawnWidth);
    axis(picture.height(), size.height(), kScreenSize.height(), y, height, drawnHeight);
    return {QRect(x, y, width, height), QSize(drawnWidth, drawnHeight)};
}

PreviewPictureCache::PreviewPictureCache(platform::PictureLoader& loader, QObject* parent)
    : QObject(parent), m_loader(loader) {
    // One decode at a time: a newer request replaces the waiting one.
    m_pool.setMaxThreadCount(1);
}

PreviewPictureCache::~PreviewPictureCache() {
    m_pool.clear();
    m_pool.waitForDone();
}

const PreviewPictures& PreviewPictureCache::pictures(const state::ThemeState& theme, QSize size) {
    const std::string& path = state::holdsChoice(theme.wallpaperPath, state::kWallpaperPattern)
                                  ? theme.wallpaperPath
                                  : std::string();
    const bool tiled = theme.tileWallpaper;
    if (!m_wallpaperChosen || path != m_wallpaperPath) {
        // A new pick: whatever was decoded or asked for belongs to the old one.
        m_wallpaperChosen = true;
        m_wallpaperPath = path;
        m_wallpaperFull = QSize();
        m_decoded = QImage();
        m_decodeFailed = false;
        m_askedSize = QSize();
        ++m_latest;
        m_pool.clear();
        m_pending = false;
    }
    if (!path.empty() && !m_decodeFailed && !size.isEmpty()) {
        // A part decoded for a preview at least this large serves; the tile flag matters only
        // for a picture larger than the screen, whose middle or corner shows.
        const bool anyPart = m_wallpaperFull.isValid() &&
                             m_wallpaperFull.width() <= kScreenSize.width() &&
                             m_wallpaperFull.height() <= kScreenSize.height();
        auto serves = [&](QSize decodedFor, bool decodedTiled) {
            return decodedFor.isValid() && size.width() <= decodedFor.width() &&
                   size.height() <= decodedFor.height() && (anyPart || decodedTiled == tiled);
        };
        const bool decodedServes = !m_decoded.isNull() && serves(m_decodedFor, m_decodedTiled);
        if (!decodedServes && !(m_pending && serves(m_askedSize, m_askedTiled)))
            requestWallpaper(size, tiled);
    }

    // Scaled from the decoded part, never from the file; until it arrives the desktop shows
    // Background.
    if (m_decoded.isNull()) {
        m_pictures.wallpaper = QImage();
        m_pictures.wallpaperSize = QSize();
    } else if (size != m_scaledFor || m_decoded.cacheKey() != m_scaledFrom) {
        // Stretched as drawn at once, so a resize step stays quick; the smoothly scaled
        // picture follows from the worker.
        m_pictures.wallpaper = m_decoded;
        m_pictures.wallpaperSize = visibleWallpaper(m_wallpaperFull, size, m_decodedTiled).size;
        if (m_pictures.wallpaperSize != m_decoded.size()) requestSmooth(m_pictures.wallpaperSize);
    }
    m_scaledFor = size;
    m_scaledFrom = m_decoded.cacheKey();
    if (!tiled || m_pictures.wallpaper.isNull() || size.isEmpty()) {
        m_pictures.tiled = QImage();
    } else if (m_pictures.tiled.size() != size || m_tiledFrom != m_pictures.wallpaper.cacheKey()) {
        QImage tile = m_pictures.wallpaper;
        if (tile.size() != m_pictures.wallpaperSize) {
            tile = QImage(m_pictures.wallpaperSize, QImage::Format_RGB32);
            QPainter(&tile).drawImage(tile.rect(), m_pictures.wallpaper);
        }
        m_pictures.tiled = QImage(size, QImage::Format_RGB32);
        QPainter painter(&m_pictures.tiled);
        painter.fillRect(m_pictures.tiled.rect(), QBrush(tile));
        m_tiledFrom = m_pictures.wallpaper.cacheKey();
    }

    for (std::size_t i = 0; i < state::kIconCount; ++i) {
        const std::string& icon = state::holdsChoice(theme.iconPaths[i], state::kIconPattern)
                                      ? theme.iconPaths[i]
                                      : std::string();
        if (m_iconLoaded[i] && icon == m_iconPaths[i]) continue;
        m_iconPaths[i] = icon;
        m_iconLoaded[i] = true;
        m_pictures.icons[i] = QImage();
        if (!icon.empty())
            if (auto picture = m_loader.load(icon, QSize(32, 32)))
                m_pictures.icons[i] = std::move(*picture);
    }
    return m_pictures;
}

void PreviewPictureCache::requestWallpaper(QSize size, bool tiled) {
    const std::uint64_t request = ++m_latest;
    m_pool.clear();  // a request still waiting is out of date
    m_pending = true;
    m_askedSize = size;
    m_askedTiled = tiled;
    m_pool.start([this, request, path = m_wallpaperPath, size, tiled] {
        QSize full;
        std::optional<QImage> picture = m_loader.loadRegion(path, [&](QSize own) {
            full = own;
            return visibleWallpaper(own, size, tiled);
        });
        if (picture && !picture->isNull())
            *picture = std::move(*picture).convertToFormat(QImage::Format_RGB32);
        // A queued call to a destroyed object is dropped, so a late picture reaches nobody.
        QMetaObject::invokeMethod(
            this,
            [this, request, picture = std::move(picture), full, size, tiled]() mutable {
                arrived(request, std::move(picture), full, size, tiled);
            },
            Qt::QueuedConnection);
    });
}

void PreviewPictureCache::requestSmooth(QSize drawn) {
    const std::uint64_t request = ++m_latestSmooth;
    m_pool.start([this, request, decoded = m_decoded, drawn] {
        if (request != m_latestSmooth) return;  // the preview has another size by now
        QImage smooth = decoded.scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QMetaObject::invokeMethod(
            this,
            [this, request, from = decoded.cacheKey(), smooth = std::move(smooth)] {
                if (request != m_latestSmooth || from != m_decoded.cacheKey() ||
                    smooth.size() != m_pictures.wallpaperSize)
                    return;
                m_pictures.wallpaper = smooth;
                emit wallpaperArrived();
            },
            Qt::QueuedConnection);
    });
}

void PreviewPictureCache::arrived(std::uint64_t request, std::optional<QImage> picture, QSize full,
                                  QSize size, bool tiled) {
    if (request != m_latest) return;  // a newer request owns the preview
    m_pending = false;
    if (picture && !picture->isNull()) {
        m_decoded = std::move(*picture);
        m_wallpaperFull = full;
        m_decodedFor = size;
        m_decodedTiled = tiled;
    } else {
        // Not asked again until the next pick; a part decoded before stays.
        m_decodeFailed = true;
    }
    emit wallpaperArrived();
}

}  // namespace preview
