// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconcellpainter.h"

#include "collections/creditlinedocument.h"

#include "widgets/adaptiveforegroundstyle.h"
#include "widgets/colorcontrast.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

double IconCellPainter::gallerySize(GalleryIconSize size)
{
    switch (size) {
    case GalleryIconSize::small:
        return 32;
    case GalleryIconSize::defaultSize:
        return 64;
    case GalleryIconSize::large:
        return 128;
    }
    return 64;
}

double IconCellPainter::previewSize(IconViewMode mode, qint64 iconPreviewSize, GalleryIconSize gallerySize)
{
    if (mode == IconViewMode::gallery)
        return IconCellPainter::gallerySize(gallerySize);
    return double(iconPreviewSize);
}

bool IconCellPainter::showsName(IconViewMode mode, bool namesInGrid, bool namesInGallery, double previewSize)
{
    if (previewSize < showIconNameThreshold)
        return false;
    return (mode == IconViewMode::grid && namesInGrid) || (mode == IconViewMode::gallery && namesInGallery);
}

const IconPreviewRep *IconCellPainter::previewRep(const Icon &icon, double size)
{
    for (const IconPreviewRep &rep : icon.previewReps()) {
        if (pointSize(rep.size) >= size)
            return &rep;
    }
    return nullptr;
}

QColor IconCellPainter::selectionHighlightColor(bool dark, const std::optional<QColor> &background)
{
    const QColor black(0, 0, 0, qRound(0.15 * 255));
    const QColor white(255, 255, 255, qRound(0.2 * 255));
    const QColor base = dark ? white : black;
    const QColor other = dark ? black : white;
    if (!background)
        return base;
    return ColorContrast::ratio(base, *background) < ColorContrast::minimumRatio ? other : base;
}

std::optional<QColor> IconCellPainter::color(const std::optional<RGBAColor> &color)
{
    if (!color)
        return std::nullopt;
    // Hostile files may hold components outside 0…1; QColor would warn and give black.
    const auto unit = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
    return QColor::fromRgbF(
        float(unit(color->red)), float(unit(color->green)), float(unit(color->blue)), float(unit(color->alpha)));
}

QColor IconCellPainter::nameColor(bool dark, const QColor &text, const std::optional<QColor> &background, bool selected)
{
    // The other scheme's text: near-black on light, near-white on dark.
    const QColor opposite = dark ? QColor(0, 0, 0, 217) : QColor(255, 255, 255, 217);
    const AdaptiveForegroundStyle style { .color = dark ? SchemeColor(opposite, text) : SchemeColor(text, opposite),
        .backgroundColor = background ? std::optional<SchemeColor>(*background) : std::nullopt,
        .selected = selected,
        .selectedTextColor = Qt::white };
    return style.foreground(dark ? ColorScheme::dark : ColorScheme::light);
}

QStringList IconCellPainter::nameLines(const QString &name, const QFont &font, double width)
{
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(name) <= width)
        return { name };
    QTextLayout layout(name, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine first = layout.createLine();
    first.setLineWidth(width);
    layout.endLayout();
    const int split = first.textLength();
    if (split <= 0 || split >= name.size())
        return { metrics.elidedText(name, Qt::ElideRight, width) };
    return { name.left(split).trimmed(), metrics.elidedText(name.mid(split).trimmed(), Qt::ElideRight, width) };
}

double IconCellPainter::nameBlockHeight(const QFontMetricsF &metrics, qsizetype lines)
{
    if (lines <= 0)
        return 0;
    return nameSpacing + 4 + double(lines) * metrics.lineSpacing();
}

QRectF IconCellPainter::thumbnailRect(const QRectF &tile, double previewSize, double nameHeight)
{
    const double edge = previewSize + 2 * thumbnailPadding;
    const double contentHeight = edge + nameHeight;
    const double top = tile.top() + std::max(0.0, (tile.height() - contentHeight) / 2);
    return QRectF(tile.center().x() - edge / 2, top, edge, edge);
}

QRectF IconCellPainter::nameRect(const QRectF &tile, double previewSize, double nameHeight)
{
    if (nameHeight <= 0)
        return {};
    const QRectF thumb = thumbnailRect(tile, previewSize, nameHeight);
    return QRectF(tile.left(), thumb.bottom() + nameSpacing, tile.width(), nameHeight - nameSpacing);
}

QImage IconCellPainter::highlightImage(double previewSize, const QColor &colour, qreal devicePixelRatio)
{
    const double edge = previewSize + 2 * thumbnailPadding;
    const int pixels = std::max(1, int(std::ceil(edge * devicePixelRatio)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(0, 0, edge, edge), 8, 8);
    return image;
}

void IconCellPainter::blit(QPainter &painter, QPointF topLeft, const QImage &image)
{
    // An image of the device's pixels at a whole point is copied row by row. Smooth scaling or
    // antialiasing would send it through the raster engine's general blending instead, which hands
    // every picture taller than a few dozen rows to the GUI thread pool and waits for it.
    const QPainter::RenderHints hints = painter.renderHints();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawImage(topLeft, image);
    painter.setRenderHints(hints);
}

void IconCellPainter::paintPlaceholder(QPainter &painter, const QRectF &picture, const QColor &colour)
{
    const double inset = picture.width() / 8;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(picture.adjusted(inset, inset, -inset, -inset), inset, inset);
}

QImage IconCellPainter::placeholderImage(double previewSize, const QColor &colour, qreal devicePixelRatio)
{
    const int pixels = std::max(1, int(std::ceil(previewSize * devicePixelRatio)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintPlaceholder(painter, QRectF(0, 0, previewSize, previewSize), colour);
    return image;
}

void IconCellPainter::paint(QPainter &painter, const Cell &cell)
{
    const QFontMetricsF metrics(cell.font);
    const double nameHeight = nameBlockHeight(metrics, cell.nameLines.size());
    // Whole points, so that a picture of the drawn size is copied rather than resampled.
    QRectF thumb = thumbnailRect(cell.tile, cell.previewSize, nameHeight);
    thumb.moveTopLeft(QPointF(std::round(thumb.left()), std::round(thumb.top())));
    painter.setPen(Qt::NoPen);
    if (cell.selected && !cell.highlightImage.isNull()) {
        blit(painter, thumb.topLeft(), cell.highlightImage);
    } else if (cell.selected) {
        painter.setBrush(cell.highlight);
        painter.drawRoundedRect(thumb, 8, 8);
    }
    const QRectF picture = thumb.adjusted(thumbnailPadding, thumbnailPadding, -thumbnailPadding, -thumbnailPadding);
    if (!cell.thumbnail.isNull()) {
        const QSizeF drawn = cell.thumbnail.deviceIndependentSize();
        if (drawn == picture.size()) {
            blit(painter, picture.topLeft(), cell.thumbnail);
        } else {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.drawImage(picture, cell.thumbnail);
            painter.setRenderHint(QPainter::Antialiasing, true);
        }
    } else if (cell.hasImage && !cell.placeholderImage.isNull()) {
        blit(painter, picture.topLeft(), cell.placeholderImage);
    } else if (cell.hasImage) {
        paintPlaceholder(painter, picture, cell.placeholder);
    }
    if (cell.focused) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(cell.accent, 2));
        painter.drawRoundedRect(thumb.adjusted(-1, -1, 1, 1), 9, 9);
        painter.setPen(Qt::NoPen);
    }
    if (cell.nameLines.isEmpty())
        return;

    const QRectF area = nameRect(cell.tile, cell.previewSize, nameHeight);
    double textWidth = 0;
    for (const QString &line : cell.nameLines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    const double blockWidth = std::min(area.width(), textWidth + 8);
    const QRectF block(area.center().x() - blockWidth / 2, area.top(), blockWidth, area.height());
    if (cell.selected) {
        painter.setBrush(cell.accent);
        painter.drawRoundedRect(block, 4, 4);
    }
    painter.setFont(cell.font);
    painter.setPen(cell.nameColor);
    double y = block.top() + 2;
    for (const QString &line : cell.nameLines) {
        painter.drawText(QRectF(block.left(), y, block.width(), metrics.lineSpacing()), Qt::AlignCenter, line);
        y += metrics.lineSpacing();
    }
}

void IconCellPainter::paintHeader(
    QPainter &painter, const Header &header, CreditLineDocument &document, const QPalette &palette)
{
    const QRectF &rect = header.rect;
    painter.fillRect(rect, header.material);
    if (header.divider.isValid()) {
        painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), 1), header.divider);
        painter.fillRect(QRectF(rect.left(), rect.bottom() - 1, rect.width(), 1), header.divider);
    }
    painter.save();
    painter.setClipRect(rect.adjusted(header.inset, 0, -header.inset, 0));
    painter.translate(rect.left() + header.inset, rect.top() + (rect.height() - document.size().height()) / 2);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette;
    context.palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

void IconCellPainter::paintRow(QPainter &painter, const Row &row)
{
    const QRect &rect = row.rect;
    if (row.selected)
        painter.fillRect(rect, row.accent);
    int x = rect.left() + 8;
    if (row.hasImage) {
        const QRect picture(x, rect.top() + (rect.height() - row.edge) / 2, row.edge, row.edge);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!row.picture.isNull() && row.picture.deviceIndependentSize() == QSizeF(picture.size())) {
            blit(painter, picture.topLeft(), row.picture);
        } else if (!row.picture.isNull()) {
            painter.drawImage(picture, row.picture);
        } else {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(row.placeholder);
            painter.drawRoundedRect(picture.adjusted(2, 2, -2, -2), 3, 3);
        }
        x += row.edge + 8;
    }
    painter.setPen(row.nameColor);
    painter.setFont(row.font);
    const QRect nameRect(x, rect.top(), rect.right() - x - 8, rect.height());
    painter.drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
        QFontMetrics(row.font).elidedText(row.name, Qt::ElideRight, nameRect.width()));
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), row.separator);
    if (row.topSeparator)
        painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), row.separator);
}
