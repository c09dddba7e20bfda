// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icon.h"
#include "model/iconenums.h"
#include "model/optionenums.h"
#include "model/rgbacolor.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>

class CreditLineDocument;
class QFontMetricsF;
class QPainter;
class QPalette;

// The icon tile shared by the grid and the gallery strip: its rules (size, name, highlight) and
// its painting. Holds no state; a view gathers a Cell from its cached settings and paints it.
class IconCellPainter
{
public:
    static constexpr double showIconNameThreshold = 64.0;
    // Around the thumbnail, on every edge.
    static constexpr double thumbnailPadding = 4.0;
    static constexpr double nameSpacing = 2.0;

    struct Cell
    {
        QRectF tile;
        double previewSize = 64;
        // Null while the picture is not ready (a placeholder shows) or when there is none.
        QImage thumbnail;
        // Whether the icon has a picture for this size at all; without one the tile stays empty.
        bool hasImage = false;
        // Empty when names are not shown.
        QStringList nameLines;
        bool selected = false;
        // The keyboard's current tile while its view has the focus: a ring in the accent colour.
        bool focused = false;
        QColor highlight;
        // The highlight already drawn at the thumbnail's size, to copy instead of filling a
        // rounded shape per tile; null to draw it.
        QImage highlightImage;
        QColor nameColor;
        QColor accent;
        QColor placeholder;
        // The placeholder already drawn at the picture's size; null to draw it.
        QImage placeholderImage;
        QFont font;
    };

    // The edge of the picture in points: the gallery size in the gallery, else "iconPreviewSize".
    static double previewSize(IconViewMode mode, qint64 iconPreviewSize, GalleryIconSize gallerySize);
    static double gallerySize(GalleryIconSize size);
    static bool showsName(IconViewMode mode, bool namesInGrid, bool namesInGallery, double previewSize);
    // The first representation of at least `size` points; none when all are smaller.
    static const IconPreviewRep *previewRep(const Icon &icon, double size);

    // Fills a selected thumbnail: a faint black on light, a faint white on dark, swapped when it
    // would stand out too little from the collection's colour.
    static QColor selectionHighlightColor(bool dark, const std::optional<QColor> &background);
    static std::optional<QColor> color(const std::optional<RGBAColor> &color);
    // The name's colour: white when selected, else the text colour, swapped for the other scheme's
    // when it would stand out too little from the background.
    static QColor nameColor(bool dark, const QColor &text, const std::optional<QColor> &background, bool selected);

    // The name cut into at most two lines that fit `width`, the second cut at its end.
    static QStringList nameLines(const QString &name, const QFont &font, double width);
    static double nameBlockHeight(const QFontMetricsF &metrics, qsizetype lines);
    // The thumbnail's rectangle (picture plus padding) and the name's, laid out centred in `tile`.
    static QRectF thumbnailRect(const QRectF &tile, double previewSize, double nameHeight);
    static QRectF nameRect(const QRectF &tile, double previewSize, double nameHeight);

    // The selected thumbnail's background for a picture of `previewSize` points.
    static QImage highlightImage(double previewSize, const QColor &colour, qreal devicePixelRatio);
    // What a picture not decoded yet shows, for a picture of `previewSize` points.
    static QImage placeholderImage(double previewSize, const QColor &colour, qreal devicePixelRatio);
    static void paint(QPainter &painter, const Cell &cell);
    // Draws an image of the device's pixels unscaled, with its top left at `topLeft`.
    static void blit(QPainter &painter, QPointF topLeft, const QImage &image);

    // A row of the list: the accent behind a selected row, the picture at the row's edge (a
    // placeholder while it is not ready; nothing without one), the name cut to its room, and a
    // separator along the bottom, and along the top too for the first row of a section (rows
    // further down share the bottom separator of the row above).
    struct Row
    {
        QRect rect;
        int edge = 32;
        bool hasImage = false;
        QImage picture;
        QString name;
        bool selected = false;
        QColor accent;
        QColor placeholder;
        QColor nameColor;
        QColor separator;
        bool topSeparator = false;
        QFont font;
    };
    static void paintRow(QPainter &painter, const Row &row);

    // A section's header, shared by the grid and the list: its credit line in the window's text
    // colour, centred vertically and `inset` from either side, on `material`, with a divider
    // along the top and bottom edges when one is given.
    struct Header
    {
        QRectF rect;
        double inset = 8;
        QColor material;
        QColor divider; // invalid for none
    };
    static void paintHeader(
        QPainter &painter, const Header &header, CreditLineDocument &document, const QPalette &palette);

private:
    static void paintPlaceholder(QPainter &painter, const QRectF &picture, const QColor &colour);
};
