// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/symbol.h"

#include "widgets/paintediconengine.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

// The interface library is static, so its resources are registered only when asked for. Outside
// any namespace, where the macro's declaration must live.
static void registerUiResources()
{
    Q_INIT_RESOURCE(ui);
}

namespace {

QString resourcePath(const QString &name)
{
    static const bool registered = (registerUiResources(), true);
    Q_UNUSED(registered);
    return QStringLiteral(":/symbols/%1.svg").arg(name);
}

// Renders through the SVG at the size asked for, so the lines stay sharp at every scale.
class SymbolEngine : public PaintedIconEngine
{
public:
    SymbolEngine(QString name, QColor color)
        : m_name(std::move(name))
        , m_color(std::move(color))
    { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QColor color = m_color;
        if (mode == QIcon::Disabled)
            color.setAlphaF(color.alphaF() * 0.4);
        const int side = qMin(rect.width(), rect.height());
        const QRect square(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side);
        painter->drawPixmap(square, Symbol::pixmap(m_name, side, color, ratio));
    }

    QIconEngine *clone() const override { return new SymbolEngine(m_name, m_color); }

private:
    QString m_name;
    QColor m_color;
};

} // namespace

bool Symbol::exists(const QString &name)
{
    return !name.isEmpty() && QFile::exists(resourcePath(name));
}

QPixmap Symbol::pixmap(const QString &name, int points, const QColor &color, qreal devicePixelRatio)
{
    const int pixels = qMax(1, qRound(points * devicePixelRatio));
    QPixmap result(pixels, pixels);
    result.fill(Qt::transparent);
    result.setDevicePixelRatio(devicePixelRatio);
    if (!exists(name))
        return result;
    QSvgRenderer renderer(resourcePath(name));
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, points, points));
    // The drawings are black; the colour replaces them where they cover.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRectF(0, 0, points, points), color);
    return result;
}

QIcon Symbol::icon(const QString &name, const QColor &color)
{
    return QIcon(new SymbolEngine(name, color));
}
