// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/systemscreenpointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

using namespace Qt::Literals::StringLiterals;

SystemScreenPointer::~SystemScreenPointer()
{
    showPointer();
}

std::optional<QRect> SystemScreenPointer::primaryScreenGeometry() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->geometry();
}

bool SystemScreenPointer::canWarpPointer() const
{
    return QGuiApplication::platformName() == "xcb"_L1;
}

void SystemScreenPointer::warpPointer(QPoint position)
{
    if (!canWarpPointer())
        return;
    QScreen *screen = QGuiApplication::screenAt(position);
    QCursor::setPos(screen ? screen : QGuiApplication::primaryScreen(), position);
}

void SystemScreenPointer::hidePointer()
{
    if (m_hidden)
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    m_hidden = true;
}

void SystemScreenPointer::showPointer()
{
    if (!m_hidden)
        return;
    m_hidden = false;
    const QCursor *top = QGuiApplication::overrideCursor();
    if (top && top->shape() == Qt::BlankCursor)
        QGuiApplication::restoreOverrideCursor();
}
