// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/windowplacement.h"

#include <QDataStream>
#include <QGuiApplication>
#include <QIODevice>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <optional>

namespace {

// QWidget::saveGeometry()'s leading fields, as Qt 6 writes them: the frame, then the window
// without it (the normal geometry), then the screen.
struct SavedGeometry
{
    QRect frame;
    QRect normal;
    bool maximized = false;
};

std::optional<SavedGeometry> readSaved(const QByteArray &saved)
{
    if (saved.size() < 4)
        return std::nullopt;
    QDataStream stream(saved);
    stream.setVersion(QDataStream::Qt_4_0);
    quint32 magic = 0;
    quint16 major = 0;
    quint16 minor = 0;
    stream >> magic >> major >> minor;
    if (magic != 0x1D9D0CB || major < 1 || major > 3)
        return std::nullopt;
    SavedGeometry geometry;
    qint32 screenNumber = 0;
    quint8 maximized = 0;
    stream >> geometry.frame >> geometry.normal >> screenNumber >> maximized;
    if (stream.status() != QDataStream::Ok || !geometry.frame.isValid() || !geometry.normal.isValid())
        return std::nullopt;
    geometry.maximized = maximized != 0;
    return geometry;
}

QMargins marginsBetween(const QRect &frame, const QRect &window)
{
    const QMargins margins(window.left() - frame.left(), window.top() - frame.top(), frame.right() - window.right(),
        frame.bottom() - window.bottom());
    // Bytes from elsewhere cannot ask for a frame larger than any title bar.
    const auto bounded = [](int margin) { return std::clamp(margin, 0, 200); };
    return QMargins(
        bounded(margins.left()), bounded(margins.top()), bounded(margins.right()), bounded(margins.bottom()));
}

// Moves the window so that its frame's top left is `topLeft` and sizes it so that the frame is
// `frame`: move() of a top-level widget places its frame, resize() sizes the window within.
void place(QWidget *window, const QRect &frame, const QMargins &margins)
{
    window->resize(frame.size().shrunkBy(margins).expandedTo(window->minimumSize()));
    window->move(frame.topLeft());
}

} // namespace

QRect WindowPlacement::fitted(const QRect &frame, const QRect &available)
{
    if (!available.isValid())
        return frame;
    QRect result(frame.topLeft(), frame.size().boundedTo(available.size()));
    result.moveLeft(std::clamp(result.left(), available.left(), available.right() - result.width() + 1));
    result.moveTop(std::clamp(result.top(), available.top(), available.bottom() - result.height() + 1));
    return result;
}

QScreen *WindowPlacement::screenFor(const QRect &frame)
{
    if (QScreen *screen = QGuiApplication::screenAt(frame.center()))
        return screen;
    // Off every screen (a monitor since unplugged): the one it overlaps most, else the primary.
    QScreen *best = QGuiApplication::primaryScreen();
    qint64 bestArea = 0;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect overlap = screen->availableGeometry().intersected(frame);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best;
}

QMargins WindowPlacement::frameMargins(const QWidget *window)
{
    if (const QWindow *handle = window->windowHandle(); handle && handle->isVisible())
        return handle->frameMargins();
    return {};
}

void WindowPlacement::restore(QWidget *window, const QByteArray &saved, const QSize &firstSize)
{
    if (const std::optional<SavedGeometry> geometry = readSaved(saved)) {
        const QMargins margins = marginsBetween(geometry->frame, geometry->normal);
        const QRect frame(geometry->frame.topLeft(), geometry->normal.size().grownBy(margins));
        const QScreen *screen = screenFor(frame);
        place(window, screen ? fitted(frame, screen->availableGeometry()) : frame, margins);
        if (geometry->maximized)
            window->setWindowState(window->windowState() | Qt::WindowMaximized);
        return;
    }
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) {
        window->resize(firstSize);
        return;
    }
    // The window manager's frame is not known before the first show; a title bar's worth is kept free.
    const QMargins margins(0, 40, 0, 0);
    const QRect available = screen->availableGeometry();
    QRect frame(QPoint(), firstSize.grownBy(margins).boundedTo(available.size()));
    frame.moveCenter(available.center());
    place(window, fitted(frame, available), margins);
}

void WindowPlacement::centreOver(QWidget *window, const QWidget *opener)
{
    if (!opener)
        return;
    const QMargins margins = frameMargins(opener);
    QSize size = window->isVisible() ? window->size() : window->sizeHint().expandedTo(window->minimumSize());
    if (!size.isValid())
        size = window->size();
    QRect frame(QPoint(), size.grownBy(margins));
    frame.moveCenter(opener->frameGeometry().center());
    const QScreen *screen = opener->screen();
    place(window, screen ? fitted(frame, screen->availableGeometry()) : frame, margins);
}

void WindowPlacement::keepAbove(QWidget *panel, const QWidget *opener)
{
    if (!opener)
        return;
    QWidget *window = opener->window();
    window->winId();
    panel->winId();
    if (QWindow *handle = panel->windowHandle())
        handle->setTransientParent(window->windowHandle());
}
