// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/creditlinedocument.h"
#include "collections/iconcollectioninputs.h"
#include "collections/icondroptargetposition.h"
#include "collections/iconsections.h"
#include "collections/icontilelayout.h"
#include "model/optionenums.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QHash>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QUuid>

#include <memory>
#include <optional>

class QDropEvent;

class ContainerManager;
class FileIconSetter;
class IconModel;
class Settings;
class IconSelectionManager;
class ThumbnailProvider;

// A virtualised view of icon tiles over the selected containers: the grid (sections stacked, with
// pinned headers when two or more are shown) or the gallery's strip (groups in one row). Tiles are
// painted, never made into widgets; pictures come from the thumbnail provider, with a placeholder
// until they are ready. A click changes the icon selection by the tile's click rules (the keys
// come from the click itself, Control standing for Command); a click beside every tile empties
// it. Tiles are dragged out as the icon's data and take drops of our own icon drags to reorder
// their container's selected icons, in memory only.
//
// The keyboard moves a current tile (IconTileNavigation says where), framed while the view has
// the focus: plainly the moved-to icon becomes the selection, with Shift the range up to it is
// added, with Control only the current tile moves; Space toggles the current icon (Shift+Space
// adds the range up to it). Assistive technology sees each tile as a list item and each grid
// header as a heading (IconTileAccessible).
class IconTileView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    IconTileView(IconTileLayout::Flow flow, IconCollectionInputs inputs, QWidget *parent = nullptr);
    ~IconTileView() override;

    const QSet<QUuid> &containerSelection() const;
    void setContainerSelection(QSet<QUuid> selection);
    const QString &searchText() const;
    void setSearchText(QString text);
    // True while exactly one container is selected: the tiles then adapt to its colour.
    bool showBackground() const { return m_showBackground; }

    const IconTileLayout &tileLayout() const { return m_layout; }
    const QList<IconSection> &sections() const;
    IconModel *iconModel() const { return m_model; }
    const IconSelectionManager &selectionManager() const { return m_selectionManager; }
    // Where a tile lies in the viewport; null when the icon is not shown.
    QRect visualRect(QUuid iconID) const;
    QRect visualRect(const IconTileLayout::Hit &hit) const;
    // The icon of a tile; null outside the tiles.
    const Icon *iconAt(const IconTileLayout::Hit &hit) const;
    // The keyboard's current tile; invalid when there is none.
    IconTileLayout::Hit currentTile() const { return m_current; }
    void setCurrentTile(const IconTileLayout::Hit &hit);
    // Makes the tile current and changes the selection as a click with `modifiers` on it does.
    void clickTile(const IconTileLayout::Hit &hit, Qt::KeyboardModifiers modifiers);
    // Counts the resets of the tiles: positions taken before one no longer hold.
    quint64 generation() const { return m_generation; }

public Q_SLOTS:
    void deselectAll();

Q_SIGNALS:
    void showBackgroundChanged(bool showBackground);
    // The height the strip needs changed (names turned on, another gallery size).
    void contentHeightChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    enum class CellPart { none, thumbnail, name };

    void readSettings();
    void followModelReset();
    void relayout();
    void updateScrollBars();
    // Tells the provider which icons are on screen, after every layout and scroll.
    void updateVisibleIcons();
    void updateShowBackground();
    QPointF contentOffset() const;
    IconViewMode cellMode() const;
    double previewSize() const;
    bool namesShown() const;
    double nameHeight() const;
    double headerHeight() const;
    bool isDark() const;
    // The frosted band behind the strip, translucent over the gallery's colour.
    std::optional<QColor> contrastBackground(const IconContainer &container) const;
    // The tile under a viewport point and which part of it.
    IconTileLayout::Hit hitAt(QPoint point, CellPart *part = nullptr) const;
    IconTileLayout::Hit hitOf(const QUuid &iconID) const;
    // Where keys start from: the current tile, else the icon selected last when it is shown.
    IconTileLayout::Hit keyStart() const;
    // Scrolls so that the tile lies whole in the viewport, below a pinned header.
    void scrollToTile(const IconTileLayout::Hit &hit);
    // How many rows (grid) or tiles (strip) Page Up and Page Down pass.
    qsizetype pageSteps() const;
    void announceFocus();
    QRectF pinnedHeaderRect(qsizetype section, const QRectF &visible) const;
    // The icons of the tiles about a screen either way of `visible` (content coordinates).
    QList<QUuid> nearbyIDs(const QRectF &visible) const;
    // Headers take no click and lie over the tiles scrolling beneath them.
    bool isOnHeader(QPoint point) const;
    CreditLineDocument &creditLine(qsizetype section);
    void paintSectionBackgrounds(QPainter &painter, const QRectF &visible);
    void paintHeaders(QPainter &painter, const QRectF &visible);
    static bool isPlainPress(Qt::KeyboardModifiers modifiers);
    // The pressed icon, when not selected, changed by the click rules with the press's keys.
    void selectPressedIcon();
    void click(const IconTileLayout::Hit &hit, Qt::KeyboardModifiers modifiers);
    void startDrag(const IconTileLayout::Hit &hit);
    void clearDropTarget();
    // Where a drop at the event's position would land: the tile under it and which side of that
    // tile; none over a gap.
    struct DropSpot
    {
        const IconSection *section = nullptr;
        qsizetype iconIndex = -1;
        IconDropTargetPosition position = IconDropTargetPosition::after;
    };
    std::optional<DropSpot> dropSpotAt(const QDropEvent &event) const;

    ContainerManager &m_manager;
    IconSelectionManager &m_selectionManager;
    ThumbnailProvider &m_provider;
    std::shared_ptr<FileIconSetter> m_iconSetter; // for the folders of drags
    Settings &m_settings;
    IconTileLayout::Flow m_flow;
    IconModel *m_model = nullptr;
    bool m_showBackground = false;
    IconTileLayout m_layout;

    // Settings, cached: paint never reads the store.
    qint64 m_iconPreviewSize = 64;
    GalleryIconSize m_gallerySize = GalleryIconSize::defaultSize;
    bool m_namesInGrid = false;
    bool m_namesInGallery = false;

    QHash<QUuid, std::shared_ptr<CreditLineDocument>> m_creditLines;
    // Highlights drawn once per colour at the current size and pixel ratio.
    QHash<QRgb, QImage> m_highlights;
    QPair<double, qreal> m_highlightKey;
    // The placeholder drawn once per colour at the current size and pixel ratio.
    QImage m_placeholder;
    QRgb m_placeholderColour = 0;
    QList<QUuid> m_visibleIDs;
    // Where the last paint put each icon's tile, in the viewport.
    QHash<QUuid, QRect> m_shownTiles;

    IconTileLayout::Hit m_current;
    QUuid m_currentID;
    quint64 m_generation = 0;

    IconTileLayout::Hit m_pressed;
    QPoint m_pressPosition;
    Qt::KeyboardModifiers m_pressModifiers;
    bool m_dragging = false;

    // The tile a reordering drag is over: its container's id and the icon's position in it.
    QUuid m_dropContainer;
    qsizetype m_dropIndex = -1;
    IconDropTargetPosition m_dropPosition = IconDropTargetPosition::after;
};
