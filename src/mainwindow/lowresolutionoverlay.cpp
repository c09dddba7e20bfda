// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/lowresolutionoverlay.h"

#include "library/settings.h"
#include "widgets/lowresolutionpattern.h"

#include <QPainter>
#include <QPaintEvent>

namespace {

// The pattern, a child of its own so that it lies above the brightness layer.
class PatternLayer : public QWidget
{
public:
    PatternLayer(const Settings &settings, QWidget *parent)
        : QWidget(parent)
        , m_settings(settings)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        connect(m_settings.lowResolutionOverlayColor().notifier(), &SettingsKeyNotifier::changed, this,
            &PatternLayer::followColorSetting);
        followColorSetting();
    }

    QColor gapColor;
    float gapAlpha = 1.0f;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        const qreal ratio = devicePixelRatioF();
        QImage tile = LowResolutionPattern::tile(LowResolutionOverlay::patternScale, gapColor, gapAlpha);
        if (tile.isNull())
            return;
        // The tile is in device pixels: one emulated pixel per two pixels of the screen.
        tile.setDevicePixelRatio(ratio);
        painter.setCompositionMode(QPainter::CompositionMode_Multiply);
        painter.drawTiledPixmap(event->rect(), QPixmap::fromImage(tile), event->rect().topLeft());
    }

private:
    void followColorSetting()
    {
        gapColor = m_settings.lowResolutionOverlayColor().read().toColor().toRgb();
        gapAlpha = float(gapColor.alphaF());
        update();
    }

    const Settings &m_settings;
};

} // namespace

LowResolutionOverlay::LowResolutionOverlay(const Settings &settings, QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    m_patternLayer = new PatternLayer(settings, this);
}

void LowResolutionOverlay::setBrightnessLayer(QWidget *layer)
{
    delete m_brightnessLayer;
    m_brightnessLayer = layer;
    if (!layer)
        return;
    layer->setParent(this);
    layer->setAttribute(Qt::WA_TransparentForMouseEvents);
    layer->setGeometry(rect());
    layer->stackUnder(m_patternLayer);
    layer->show();
}

QColor LowResolutionOverlay::gapColor() const
{
    return static_cast<PatternLayer *>(m_patternLayer)->gapColor;
}

float LowResolutionOverlay::gapAlpha() const
{
    return static_cast<PatternLayer *>(m_patternLayer)->gapAlpha;
}

void LowResolutionOverlay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_patternLayer->setGeometry(rect());
    if (m_brightnessLayer)
        m_brightnessLayer->setGeometry(rect());
}
