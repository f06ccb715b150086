// SPDX-License-Identifier: MIT
#include "window/ThemePreviewWindow.h"

#include <QFont>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace window {

namespace {

constexpr int kCellWidth = 160;
constexpr int kCellHeight = 56;
constexpr int kColumns = 4;

QColor themeColour(const state::ThemeState& theme, std::size_t element) {
    const state::Color c = theme.colors[element];
    return QColor(static_cast<int>(state::red(c)), static_cast<int>(state::green(c)),
                  static_cast<int>(state::blue(c)));
}

}  // namespace

/// The drawn desktop: paints the last rendering, names elements in tooltips, reports clicks.
class PreviewArea : public QWidget {
public:
    explicit PreviewArea(ThemePreviewWindow& owner) : QWidget(&owner), m_owner(owner) {
        setObjectName(QStringLiteral("preview"));
        setMinimumSize(640, 480);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setAccessibleName(QStringLiteral("Theme preview"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, m_owner.m_image);
    }
    void resizeEvent(QResizeEvent*) override { m_owner.renderPreview(); }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        if (const int element = m_owner.elementAt(event->position().toPoint()); element >= 0)
            emit m_owner.elementClicked(element);
    }
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(event);
            const int element = m_owner.elementAt(help->pos());
            if (element >= 0)
                QToolTip::showText(
                    help->globalPos(),
                    QString::fromUtf8(
                        state::kColorNames[static_cast<std::size_t>(element)].data(),
                        static_cast<qsizetype>(
                            state::kColorNames[static_cast<std::size_t>(element)].size())),
                    this);
            else
                QToolTip::hideText();
            return true;
        }
        return QWidget::event(event);
    }

private:
    ThemePreviewWindow& m_owner;
};

ThemePreviewWindow::ThemePreviewWindow(const state::ThemeState& theme,
                                       platform::PictureLoader& pictures, QWidget* parent)
    : QWidget(parent, Qt::Window), m_theme(theme), m_pictures(pictures), m_cache(pictures) {
    setObjectName(QStringLiteral("ThemePreview"));
    setWindowTitle(QStringLiteral("Theme Preview"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_area = new PreviewArea(*this);
    m_pointers = new PointerStrip(theme, pictures, this);
    // The desktop keeps its least size and scrolls on a small screen, where the window would
    // otherwise outgrow it and cut off the pointers.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("previewScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_area);
    m_scroll->setMinimumHeight(kCellHeight * 2);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_pointers, 0);
    // The wallpaper decodes on a worker: the desktop is drawn again when it arrives.
    connect(&m_cache, &preview::PreviewPictureCache::wallpaperArrived, this,
            &ThemePreviewWindow::renderPreview);
    refresh();
}

void ThemePreviewWindow::placeBeside(const QWidget& owner) {
    const QScreen* screen = owner.screen() ? owner.screen() : QGuiApplication::primaryScreen();
    const QRect free = screen->availableGeometry();
    const QRect ownerFrame = owner.frameGeometry();
    // This window's frame is not known before it is first shown; the owner's, drawn by the
    // same window manager, stands in for it.
    const QMargins frame(owner.geometry().left() - ownerFrame.left(),
                         owner.geometry().top() - ownerFrame.top(),
                         ownerFrame.right() - owner.geometry().right(),
                         ownerFrame.bottom() - owner.geometry().bottom());
    const QSize wanted(std::max(m_area->minimumWidth(), m_pointers->minimumWidth()),
                       m_area->minimumHeight() + m_pointers->minimumHeight());
    const QSize size = wanted.boundedTo(free.size().shrunkBy(frame)).expandedTo(minimumSizeHint());
    const QSize outer = size.grownBy(frame);
    // Right, left, below, above the owner, each pushed onto the screen; the first that covers
    // least of the owner wins.
    const QPoint candidates[] = {{ownerFrame.right() + 1, ownerFrame.top()},
                                 {ownerFrame.left() - outer.width(), ownerFrame.top()},
                                 {ownerFrame.left(), ownerFrame.bottom() + 1},
                                 {ownerFrame.left(), ownerFrame.top() - outer.height()}};
    QRect best;
    qint64 bestCover = -1;
    for (const QPoint& at : candidates) {
        QRect place(at, outer);
        place.moveLeft(
            std::max(free.left(), std::min(place.left(), free.right() + 1 - outer.width())));
        place.moveTop(
            std::max(free.top(), std::min(place.top(), free.bottom() + 1 - outer.height())));
        const QRect covered = place.intersected(ownerFrame);
        const qint64 cover = qint64(covered.width()) * covered.height();
        if (bestCover < 0 || cover < bestCover) {
            best = place;
            bestCover = cover;
        }
    }
    resize(size);
    move(best.topLeft());  // a window's position is its frame's
}

void ThemePreviewWindow::refresh() {
    renderPreview();
    m_pointers->refresh();
}

int ThemePreviewWindow::elementAt(QPoint point) const {
    return m_renderer.elementAt(point);
}

void ThemePreviewWindow::renderPreview() {
    const QSize size = m_area->size();
    m_renderer.render(m_image, m_theme, m_cache.pictures(m_theme, size), size);
    m_area->update();
}

PointerStrip::PointerStrip(const state::ThemeState& theme, platform::PictureLoader& pictures,
                           QWidget* parent)
    : QWidget(parent), m_theme(theme), m_pictures(pictures) {
    setObjectName(QStringLiteral("pointers"));
    setAccessibleName(QStringLiteral("Mouse pointers"));
    QFont captions(QStringLiteral("Liberation Sans"));
    captions.setPixelSize(11);
    setFont(captions);
    const int rows = static_cast<int>((state::kPointerCount + kColumns - 1) / kColumns);
    setFixedHeight(rows * kCellHeight);
    setMinimumWidth(kColumns * kCellWidth);
    for (std::size_t slot = 0; slot < state::kPointerCount; ++slot) {
        auto* timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, slot] { advance(slot); });
        m_timers[slot] = timer;
    }
}

void PointerStrip::refresh() {
    for (std::size_t slot = 0; slot < state::kPointerCount; ++slot) {
        const std::string& path = m_theme.pointerPaths[slot];
        const std::string chosen =
            state::holdsChoice(path, state::kPointerPattern) ? path : std::string();
        if (m_loaded[slot] && chosen == m_paths[slot]) continue;
        m_loaded[slot] = true;
        m_paths[slot] = chosen;
        m_animations[slot] = preview::loadPointer(chosen, m_pictures);
        startAnimation(slot);
    }
    update();
}

void PointerStrip::showEvent(QShowEvent*) {
    for (std::size_t slot = 0; slot < state::kPointerCount; ++slot) startAnimation(slot);
}

void PointerStrip::hideEvent(QHideEvent*) {
    for (QTimer* timer : m_timers) timer->stop();
}

void PointerStrip::startAnimation(std::size_t slot) {
    m_step[slot] = 0;
    m_timers[slot]->stop();
    if (!isVisible()) return;
    const auto& steps = m_animations[slot].steps;
    // A jiffy is a sixtieth of a second.
    if (steps.size() > 1) m_timers[slot]->start(steps[0].jiffies * 1000 / 60);
}

void PointerStrip::advance(std::size_t slot) {
    const auto& steps = m_animations[slot].steps;
    if (steps.size() < 2) return;
    m_step[slot] = (m_step[slot] + 1) % static_cast<int>(steps.size());
    m_timers[slot]->start(steps[static_cast<std::size_t>(m_step[slot])].jiffies * 1000 / 60);
    update(QRect(static_cast<int>(slot % kColumns) * kCellWidth,
                 static_cast<int>(slot / kColumns) * kCellHeight, kCellWidth, kCellHeight));
}

void PointerStrip::paintEvent(QPaintEvent*) {
    // Pointers are shown on the theme's Window colour, as a list of them would show them.
    const QColor back = themeColour(m_theme, 22);
    const QColor ink = themeColour(m_theme, 24);
    QPainter painter(this);
    painter.fillRect(rect(), back);
    QImage cell(32, 32, QImage::Format_RGB32);
    for (std::size_t slot = 0; slot < state::kPointerCount; ++slot) {
        const QRect box(static_cast<int>(slot % kColumns) * kCellWidth,
                        static_cast<int>(slot / kColumns) * kCellHeight, kCellWidth, kCellHeight);
        const auto& animation = m_animations[slot];
        if (!animation.steps.empty()) {
            const auto& frame = animation.frames[static_cast<std::size_t>(
                animation.steps[static_cast<std::size_t>(m_step[slot])].frame)];
            cell = QImage(frame.image.size(), QImage::Format_RGB32);
            cell.fill(back);
            preview::paintCursor(cell, QPoint(0, 0), frame);
            const QSize shown = cell.size().boundedTo(QSize(32, 32));
            painter.drawImage(
                QRect(QPoint(box.left() + (box.width() - shown.width()) / 2, box.top() + 4), shown),
                cell);
        }
        painter.setPen(ink);
        const auto caption = state::kPointerCaptions[slot];
        painter.drawText(QRect(box.left() + 2, box.top() + 38, box.width() - 4, 16),
                         Qt::AlignHCenter | Qt::AlignTop,
                         QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    }
}

}  // namespace window
