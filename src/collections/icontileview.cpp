// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/icontileview.h"

#include "collections/iconcellpainter.h"
#include "collections/iconclickrules.h"
#include "collections/icondragmimedata.h"
#include "collections/icondropdelegate.h"
#include "collections/icondropindicator.h"
#include "collections/iconmodel.h"
#include "collections/icontileaccessible.h"
#include "collections/icontilenavigation.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "widgets/blureffectview.h"
#include "widgets/colorcontrast.h"
#include "widgets/textstyle.h"

#include <QAccessible>
#include <QApplication>
#include <QDragEnterEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

namespace {

// A settings file may hold any number; layout needs a sane positive edge.
qint64 saneSize(qint64 size)
{
    return std::clamp<qint64>(size, 1, 2048);
}

} // namespace

IconTileView::IconTileView(IconTileLayout::Flow flow, IconCollectionInputs inputs, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_manager(inputs.manager)
    , m_selectionManager(inputs.iconSelection)
    , m_provider(inputs.provider)
    , m_iconSetter(std::move(inputs.iconSetter))
    , m_settings(inputs.settings)
    , m_flow(flow)
    , m_model(new IconModel(m_manager, m_selectionManager, m_provider, std::move(inputs.containerSelection),
          std::move(inputs.searchText), this))
{
    IconTileAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setMouseTracking(false);
    setFrameShape(QFrame::NoFrame);
    if (m_flow == IconTileLayout::Flow::strip) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    } else {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    viewport()->setAutoFillBackground(false);

    readSettings();
    const auto settingsChanged = [this] {
        readSettings();
        relayout();
    };
    connect(m_settings.iconPreviewSize().notifier(), &SettingsKeyNotifier::changed, this, settingsChanged);
    connect(m_settings.galleryIconSize().notifier(), &SettingsKeyNotifier::changed, this, settingsChanged);
    connect(m_settings.showIconNamesInGrid().notifier(), &SettingsKeyNotifier::changed, this, settingsChanged);
    connect(m_settings.showIconNamesInGallery().notifier(), &SettingsKeyNotifier::changed, this, settingsChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &IconTileView::followModelReset);
    connect(m_model, &QAbstractItemModel::dataChanged, viewport(), qOverload<>(&QWidget::update));
    connect(&m_selectionManager, &IconSelectionManager::selectionChanged, this, [this] {
        if (QAccessible::isActive()) {
            QAccessibleEvent event(this, QAccessible::SelectionWithin);
            QAccessible::updateAccessibility(&event);
        }
    });
    connect(&m_provider, &ThumbnailProvider::ready, this, [this](const QObject *requester, QUuid id) {
        // Only the tile that shows it: a whole frame per arriving picture would blend every tile again.
        if (requester != this)
            return;
        if (const auto tile = m_shownTiles.constFind(id); tile != m_shownTiles.cend())
            viewport()->update(*tile);
    });
    relayout();
    updateShowBackground();
}

IconTileView::~IconTileView()
{
    m_provider.cancel(this);
}

const QSet<QUuid> &IconTileView::containerSelection() const
{
    return m_model->containerSelection();
}

void IconTileView::setContainerSelection(QSet<QUuid> selection)
{
    m_model->setContainerSelection(std::move(selection));
    updateShowBackground();
}

const QString &IconTileView::searchText() const
{
    return m_model->searchText();
}

void IconTileView::setSearchText(QString text)
{
    m_model->setSearchText(std::move(text));
}

const QList<IconSection> &IconTileView::sections() const
{
    return m_model->sections();
}

void IconTileView::deselectAll()
{
    m_selectionManager.setSelection({});
}

QRect IconTileView::visualRect(QUuid iconID) const
{
    return visualRect(hitOf(iconID));
}

QRect IconTileView::visualRect(const IconTileLayout::Hit &hit) const
{
    return m_layout.tileRect(hit.section, hit.position).translated(-contentOffset()).toAlignedRect();
}

IconTileLayout::Hit IconTileView::hitOf(const QUuid &iconID) const
{
    const QList<IconContainer> &containers = m_manager.containers();
    for (qsizetype s = 0; s < sections().size(); ++s) {
        const IconSection &section = sections().at(s);
        const IconContainer &container = containers.at(section.containerIndex);
        for (qsizetype p = 0; p < section.iconIndexes.size(); ++p) {
            if (container.icons.at(section.iconIndexes.at(p)).id == iconID)
                return { s, p };
        }
    }
    return {};
}

void IconTileView::setCurrentTile(const IconTileLayout::Hit &hit)
{
    const Icon *icon = iconAt(hit);
    const IconTileLayout::Hit current = icon ? hit : IconTileLayout::Hit();
    if (current.section == m_current.section && current.position == m_current.position)
        return;
    m_current = current;
    m_currentID = icon ? icon->id : QUuid();
    viewport()->update();
    announceFocus();
}

void IconTileView::clickTile(const IconTileLayout::Hit &hit, Qt::KeyboardModifiers modifiers)
{
    if (!iconAt(hit))
        return;
    setCurrentTile(hit);
    click(hit, modifiers);
}

void IconTileView::announceFocus()
{
    // Keys move the focus at a hand's pace; Qt drops the event itself when nobody listens.
    if (!hasFocus() || !m_current.isValid())
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(IconTileAccessible::indexOfTile(*this, m_current));
    QAccessible::updateAccessibility(&event);
}

void IconTileView::readSettings()
{
    m_iconPreviewSize = saneSize(m_settings.iconPreviewSize().read());
    m_gallerySize = m_settings.galleryIconSize().read();
    m_namesInGrid = m_settings.showIconNamesInGrid().read();
    m_namesInGallery = m_settings.showIconNamesInGallery().read();
}

void IconTileView::followModelReset()
{
    // Positions of the drop target may no longer hold, nor the credit lines.
    clearDropTarget();
    m_creditLines.clear();
    ++m_generation;
    // The current icon stays current wherever it moved; gone, there is none.
    m_current = m_currentID.isNull() ? IconTileLayout::Hit() : hitOf(m_currentID);
    if (!m_current.isValid())
        m_currentID = QUuid();
    relayout();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    }
}

void IconTileView::relayout()
{
    IconTileLayout::Params params;
    params.flow = m_flow;
    params.previewSize = previewSize();
    params.nameHeight = nameHeight();
    params.separated = m_model->containerSelection().size() >= 2;
    params.headerHeight = headerHeight();
    const double oldHeight = m_layout.contentSize().height();
    m_layout.update(sections(), params, viewport()->width());
    updateScrollBars();
    updateVisibleIcons();
    viewport()->update();
    if (m_layout.contentSize().height() != oldHeight)
        Q_EMIT contentHeightChanged();
}

void IconTileView::updateScrollBars()
{
    const QSizeF content = m_layout.contentSize();
    const QSize view = viewport()->size();
    if (m_flow == IconTileLayout::Flow::grid) {
        verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(content.height())) - view.height()));
        verticalScrollBar()->setPageStep(view.height());
        verticalScrollBar()->setSingleStep(std::max(8, int(m_layout.tileSize().height() / 4)));
    } else {
        horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(content.width())) - view.width()));
        horizontalScrollBar()->setPageStep(view.width());
        horizontalScrollBar()->setSingleStep(std::max(8, int(m_layout.tileSize().width() / 2)));
    }
}

void IconTileView::updateShowBackground()
{
    m_showBackground = m_model->containerSelection().size() == 1;
    Q_EMIT showBackgroundChanged(m_showBackground);
}

QPointF IconTileView::contentOffset() const
{
    return QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

IconViewMode IconTileView::cellMode() const
{
    return m_flow == IconTileLayout::Flow::strip ? IconViewMode::gallery : IconViewMode::grid;
}

double IconTileView::previewSize() const
{
    return IconCellPainter::previewSize(cellMode(), m_iconPreviewSize, m_gallerySize);
}

bool IconTileView::namesShown() const
{
    return IconCellPainter::showsName(cellMode(), m_namesInGrid, m_namesInGallery, previewSize());
}

double IconTileView::nameHeight() const
{
    if (!namesShown())
        return 0;
    return IconCellPainter::nameBlockHeight(QFontMetricsF(TextStyle::callout(font())), 2);
}

double IconTileView::headerHeight() const
{
    QFont title = font();
    title.setPointSizeF(title.pointSizeF() * 1.3);
    return QFontMetricsF(title).height() + 16;
}

std::optional<QColor> IconTileView::contrastBackground(const IconContainer &container) const
{
    // Names and highlights stand out from the colour actually painted behind them: the single
    // container's, each section's own in the grid, and in the strip that colour under its backdrop.
    const std::optional<QColor> colour = IconCellPainter::color(container.backgroundColor);
    if (!colour)
        return std::nullopt;
    if (m_flow == IconTileLayout::Flow::strip) {
        if (!m_showBackground)
            return std::nullopt;
        const QColor backdrop = BlurEffectView::frost(palette());
        const double a = backdrop.alphaF();
        return QColor::fromRgbF(float(backdrop.redF() * a + colour->redF() * (1 - a)),
            float(backdrop.greenF() * a + colour->greenF() * (1 - a)),
            float(backdrop.blueF() * a + colour->blueF() * (1 - a)));
    }
    return colour;
}

bool IconTileView::isDark() const
{
    return ColorContrast::isDark(palette());
}

IconTileLayout::Hit IconTileView::hitAt(QPoint point, CellPart *part) const
{
    if (part)
        *part = CellPart::none;
    if (isOnHeader(point))
        return {};
    const QPointF content = QPointF(point) + contentOffset();
    const IconTileLayout::Hit hit = m_layout.hitTest(content);
    if (!hit.isValid() || !part)
        return hit;
    const QRectF tile = m_layout.tileRect(hit.section, hit.position);
    const double names = nameHeight();
    if (IconCellPainter::thumbnailRect(tile, previewSize(), names).contains(content))
        *part = CellPart::thumbnail;
    else if (names > 0 && IconCellPainter::nameRect(tile, previewSize(), names).contains(content))
        *part = CellPart::name;
    return hit;
}

QRectF IconTileView::pinnedHeaderRect(qsizetype section, const QRectF &visible) const
{
    const QRectF rect = m_layout.sectionRect(section);
    const double height = headerHeight();
    // Pinned: the header stays at the top while its section scrolls beneath, until the next
    // section pushes it away.
    const double top = std::clamp(visible.top(), rect.top(), std::max(rect.top(), rect.bottom() - height));
    return QRectF(rect.left(), top, rect.width(), height);
}

bool IconTileView::isOnHeader(QPoint point) const
{
    if (m_flow != IconTileLayout::Flow::grid || m_model->containerSelection().size() < 2)
        return false;
    const QRectF visible(contentOffset(), QSizeF(viewport()->size()));
    const QPointF content = QPointF(point) + contentOffset();
    for (qsizetype s = 0; s < sections().size(); ++s) {
        if (m_layout.sectionRect(s).intersects(visible) && pinnedHeaderRect(s, visible).contains(content))
            return true;
    }
    return false;
}

const Icon *IconTileView::iconAt(const IconTileLayout::Hit &hit) const
{
    if (!hit.isValid() || hit.section >= sections().size())
        return nullptr;
    const IconSection &section = sections().at(hit.section);
    if (hit.position >= section.iconIndexes.size())
        return nullptr;
    const IconContainer &container = m_manager.containers().at(section.containerIndex);
    return &container.icons.at(section.iconIndexes.at(hit.position));
}

CreditLineDocument &IconTileView::creditLine(qsizetype section)
{
    const QUuid id = sections().at(section).containerID;
    auto found = m_creditLines.find(id);
    if (found == m_creditLines.end()) {
        QFont title = font();
        title.setPointSizeF(title.pointSizeF() * 1.3);
        found = m_creditLines.insert(id, std::make_shared<CreditLineDocument>(m_model->creditText(section), title));
    }
    return *found.value();
}

void IconTileView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void IconTileView::hideEvent(QHideEvent *event)
{
    QAbstractScrollArea::hideEvent(event);
    // A page of the window's stack that is put away decodes nothing more.
    m_visibleIDs.clear();
    m_provider.setVisible(this, {});
}

void IconTileView::scrollContentsBy(int, int)
{
    updateVisibleIcons();
    viewport()->update();
}

void IconTileView::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    updateVisibleIcons();
}

void IconTileView::updateVisibleIcons()
{
    if (!isVisible())
        return;
    const QList<IconTileLayout::Hit> tiles = m_layout.tilesIn(QRectF(contentOffset(), QSizeF(viewport()->size())));
    QList<QUuid> shown;
    shown.reserve(tiles.size());
    for (const IconTileLayout::Hit &hit : tiles) {
        if (const Icon *icon = iconAt(hit))
            shown.append(icon->id);
    }
    if (shown == m_visibleIDs)
        return;
    m_visibleIDs = std::move(shown);
    m_provider.setVisible(this, m_visibleIDs, nearbyIDs(QRectF(contentOffset(), QSizeF(viewport()->size()))));
}

void IconTileView::paintSectionBackgrounds(QPainter &painter, const QRectF &visible)
{
    const QList<IconContainer> &containers = m_manager.containers();
    if (m_model->containerSelection().size() == 1) {
        // One container: its colour lies behind everything, also past the last row.
        if (!sections().isEmpty()) {
            if (const auto colour
                = IconCellPainter::color(containers.at(sections().first().containerIndex).backgroundColor))
                painter.fillRect(visible, *colour);
        }
        return;
    }
    for (qsizetype s = 0; s < sections().size(); ++s) {
        const QRectF rect = m_layout.sectionRect(s);
        if (!rect.intersects(visible))
            continue;
        if (const auto colour = IconCellPainter::color(containers.at(sections().at(s).containerIndex).backgroundColor))
            painter.fillRect(rect, *colour);
    }
}

void IconTileView::paintHeaders(QPainter &painter, const QRectF &visible)
{
    IconCellPainter::Header header;
    header.inset = IconTileLayout::gridPadding;
    header.material = palette().color(QPalette::Window);
    header.material.setAlpha(235);
    header.divider = palette().color(QPalette::Mid);
    for (qsizetype s = 0; s < sections().size(); ++s) {
        if (!m_layout.sectionRect(s).intersects(visible))
            continue;
        header.rect = pinnedHeaderRect(s, visible);
        CreditLineDocument &document = creditLine(s);
        document.fitWidth(header.rect.width() - 2 * header.inset);
        IconCellPainter::paintHeader(painter, header, document, palette());
    }
}

void IconTileView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const QPointF offset = contentOffset();
    painter.translate(-offset);
    const QRectF visible(offset, QSizeF(viewport()->size()));

    if (m_flow == IconTileLayout::Flow::strip) {
        // The strip lies on the gallery's frosted backdrop (a BlurEffectView) and draws only its edge
        // over it, so that it stands apart from a preview area of the same colour.
        painter.fillRect(QRectF(visible.left(), visible.top(), visible.width(), 1), palette().color(QPalette::Mid));
    } else {
        paintSectionBackgrounds(painter, visible);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    const QList<IconContainer> &containers = m_manager.containers();
    const IconSelection &selection = m_selectionManager.selection();
    const qreal ratio = viewport()->devicePixelRatioF();
    const bool dark = isDark();
    const double size = previewSize();
    const bool names = namesShown();
    const QColor text = palette().color(QPalette::WindowText);
    const QColor accent = palette().color(QPalette::Highlight);
    QColor placeholder = palette().color(QPalette::Mid);
    placeholder.setAlpha(60);
    ThumbnailProvider &provider = m_provider;

    m_shownTiles.clear();
    if (m_highlightKey != qMakePair(size, ratio)) {
        m_highlights.clear();
        m_placeholder = {};
        m_highlightKey = qMakePair(size, ratio);
    }
    if (m_placeholder.isNull() || m_placeholderColour != placeholder.rgba()) {
        m_placeholder = IconCellPainter::placeholderImage(size, placeholder, ratio);
        m_placeholderColour = placeholder.rgba();
    }
    const QList<IconTileLayout::Hit> tiles = m_layout.tilesIn(visible);
    IconCellPainter::Cell cell;
    cell.previewSize = size;
    cell.accent = accent;
    cell.placeholder = placeholder;
    cell.placeholderImage = m_placeholder;
    cell.font = TextStyle::callout(font());
    const bool focusShown = hasFocus();
    for (const IconTileLayout::Hit &hit : tiles) {
        const IconSection &section = sections().at(hit.section);
        const IconContainer &container = containers.at(section.containerIndex);
        const qsizetype index = section.iconIndexes.at(hit.position);
        const Icon &icon = container.icons.at(index);
        const std::optional<QColor> background = contrastBackground(container);
        cell.tile = m_layout.tileRect(hit.section, hit.position);
        m_shownTiles.insert(icon.id, cell.tile.translated(-offset).toAlignedRect());
        cell.selected = selection.contains(icon.id);
        cell.focused = focusShown && hit.section == m_current.section && hit.position == m_current.position;
        cell.highlight = IconCellPainter::selectionHighlightColor(dark, background);
        if (cell.selected) {
            QImage &highlight = m_highlights[cell.highlight.rgba()];
            if (highlight.isNull())
                highlight = IconCellPainter::highlightImage(size, cell.highlight, ratio);
            cell.highlightImage = highlight;
        }
        cell.nameColor = IconCellPainter::nameColor(dark, text, background, cell.selected);
        const IconPreviewRep *rep = IconCellPainter::previewRep(icon, size);
        cell.hasImage = rep != nullptr;
        cell.thumbnail = rep ? provider.request(this, icon.id, rep->image, size, ratio) : QImage();
        cell.nameLines
            = names ? IconCellPainter::nameLines(icon.name, cell.font, cell.tile.width() - 8) : QStringList();
        IconCellPainter::paint(painter, cell);

        if (m_dropIndex == index && m_dropContainer == container.id && !cell.selected)
            IconDropIndicator::paint(painter, cell.tile, m_dropPosition, int(m_iconPreviewSize), accent);
    }

    if (m_flow == IconTileLayout::Flow::strip) {
        for (qsizetype s = 0; s + 1 < sections().size(); ++s) {
            const QRectF divider = m_layout.dividerRect(s);
            if (!divider.isNull())
                painter.fillRect(divider, palette().color(QPalette::Mid));
        }
    } else if (m_model->containerSelection().size() >= 2) {
        paintHeaders(painter, visible);
    }
}

QList<QUuid> IconTileView::nearbyIDs(const QRectF &visible) const
{
    // About a screen either way along the direction the view scrolls.
    const QRectF around = m_flow == IconTileLayout::Flow::strip
        ? visible.adjusted(-visible.width(), 0, visible.width(), 0)
        : visible.adjusted(0, -visible.height(), 0, visible.height());
    QList<QUuid> ids;
    for (const IconTileLayout::Hit &hit : m_layout.tilesIn(around)) {
        if (m_layout.tileRect(hit.section, hit.position).intersects(visible))
            continue;
        if (const Icon *icon = iconAt(hit))
            ids.append(icon->id);
    }
    return ids;
}

bool IconTileView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        CellPart part = CellPart::none;
        const Icon *icon = iconAt(hitAt(help->pos(), &part));
        // On the name only: the picture already shows what the tile is.
        if (icon && part == CellPart::name) {
            // Forced rich text with the name escaped: a name is never read as markup.
            QToolTip::showText(help->globalPos(),
                QStringLiteral("<qt>") + icon->name.toHtmlEscaped() + QStringLiteral("</qt>"), viewport());
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void IconTileView::wheelEvent(QWheelEvent *event)
{
    // The strip only scrolls sideways; a plain mouse wheel turns vertically.
    const QPoint delta = event->angleDelta();
    if (m_flow == IconTileLayout::Flow::strip && delta.x() == 0 && delta.y() != 0) {
        QScrollBar *bar = horizontalScrollBar();
        bar->setValue(bar->value() - delta.y() * bar->singleStep() * QApplication::wheelScrollLines() / 120);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

IconTileLayout::Hit IconTileView::keyStart() const
{
    if (m_current.isValid())
        return m_current;
    const IconSelection &selection = m_selectionManager.selection();
    return selection.empty() ? IconTileLayout::Hit() : hitOf(selection.back());
}

qsizetype IconTileView::pageSteps() const
{
    if (m_flow == IconTileLayout::Flow::grid)
        return std::max<qsizetype>(1, qsizetype(viewport()->height() / std::max(1.0, m_layout.tileSize().height())));
    return std::max<qsizetype>(1, qsizetype(viewport()->width() / std::max(1.0, m_layout.tileSize().width())));
}

void IconTileView::scrollToTile(const IconTileLayout::Hit &hit)
{
    const QRectF tile = m_layout.tileRect(hit.section, hit.position);
    if (tile.isNull())
        return;
    if (m_flow == IconTileLayout::Flow::strip) {
        QScrollBar *bar = horizontalScrollBar();
        if (tile.left() < bar->value())
            bar->setValue(int(std::floor(tile.left() - IconTileLayout::stripPadding)));
        else if (tile.right() > bar->value() + viewport()->width())
            bar->setValue(int(std::ceil(tile.right() + IconTileLayout::stripPadding)) - viewport()->width());
        return;
    }
    // A pinned header covers the top of the viewport while sections are separated.
    const double header = m_model->containerSelection().size() >= 2 ? headerHeight() : 0;
    QScrollBar *bar = verticalScrollBar();
    if (tile.top() - header < bar->value())
        bar->setValue(int(std::floor(tile.top() - header)));
    else if (tile.bottom() > bar->value() + viewport()->height())
        bar->setValue(int(std::ceil(tile.bottom())) - viewport()->height());
}

void IconTileView::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_Space && !modifiers.testFlag(Qt::AltModifier)) {
        const IconTileLayout::Hit start = keyStart();
        if (!iconAt(start)) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
        setCurrentTile(start);
        // Space is the Control click on the current icon; with Shift the Shift click.
        click(start, modifiers.testFlag(Qt::ShiftModifier) ? Qt::ShiftModifier : Qt::ControlModifier);
        event->accept();
        return;
    }
    const std::optional<IconTileLayout::Hit> target = modifiers.testFlag(Qt::AltModifier)
        ? std::nullopt
        : IconTileNavigation::move(m_layout, keyStart(), Qt::Key(event->key()), pageSteps());
    if (!target || !iconAt(*target)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
    setCurrentTile(*target);
    scrollToTile(*target);
    if (modifiers.testFlag(Qt::ShiftModifier))
        click(*target, Qt::ShiftModifier);
    else if (!modifiers.testFlag(Qt::ControlModifier))
        click(*target, Qt::NoModifier);
}

void IconTileView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    announceFocus();
}

void IconTileView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void IconTileView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    CellPart part = CellPart::none;
    const IconTileLayout::Hit hit = hitAt(event->position().toPoint(), &part);
    m_pressed = part == CellPart::none ? IconTileLayout::Hit() : hit;
    if (m_pressed.isValid())
        setCurrentTile(m_pressed);
    m_pressPosition = event->position().toPoint();
    m_pressModifiers = event->modifiers();
    m_dragging = false;
    event->accept();
    // As in a file manager, a plain press on an unselected icon selects it at once, so that a drag
    // from it carries it; a press on a selected one waits, so that the whole selection can be dragged.
    if (isPlainPress(m_pressModifiers))
        selectPressedIcon();
}

bool IconTileView::isPlainPress(Qt::KeyboardModifiers modifiers)
{
    return !modifiers.testAnyFlags(Qt::ShiftModifier | Qt::ControlModifier);
}

void IconTileView::selectPressedIcon()
{
    const Icon *icon = iconAt(m_pressed);
    if (icon && !m_selectionManager.selection().contains(icon->id))
        click(m_pressed, m_pressModifiers);
}

void IconTileView::click(const IconTileLayout::Hit &hit, Qt::KeyboardModifiers modifiers)
{
    const IconSection &section = sections().at(hit.section);
    // The rules read the container as it is now; a copy keeps it stable while they signal.
    const IconContainer container = m_manager.containers().at(section.containerIndex);
    IconClickRules::click(m_selectionManager, container, section.iconIndexes.at(hit.position), modifiers);
}

void IconTileView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_pressed.isValid() || m_dragging)
        return;
    if ((event->position().toPoint() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    // A drag moves the selection: an unselected icon joins it first by the press's click rules
    // (Control adds it, Shift adds the range up to it).
    selectPressedIcon();
    startDrag(m_pressed);
    m_pressed = {};
}

void IconTileView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_dragging) {
        m_dragging = false;
        return;
    }
    CellPart part = CellPart::none;
    const IconTileLayout::Hit hit = hitAt(event->position().toPoint(), &part);
    const bool onPressedTile
        = m_pressed.isValid() && hit.section == m_pressed.section && hit.position == m_pressed.position;
    m_pressed = {};
    if (part != CellPart::none && onPressedTile) {
        click(hit, event->modifiers());
    } else if (part == CellPart::none && !isOnHeader(event->position().toPoint())) {
        // Beside every tile, or in a tile's empty margin, lies the view's own background.
        m_selectionManager.setSelection({});
    }
}

void IconTileView::startDrag(const IconTileLayout::Hit &hit)
{
    const Icon *icon = iconAt(hit);
    if (!icon)
        return;
    QImage picture;
    if (const IconPreviewRep *rep = IconCellPainter::previewRep(*icon, previewSize()))
        picture = m_provider.request(this, icon->id, rep->image, previewSize(), devicePixelRatioF());
    IconDragMimeData::startDrag(
        this, *icon, m_iconSetter, m_settings, picture, QPoint(int(previewSize() / 2), int(previewSize() / 2)));
}

void IconTileView::clearDropTarget()
{
    if (m_dropIndex < 0)
        return;
    m_dropIndex = -1;
    m_dropContainer = {};
    viewport()->update();
}

void IconTileView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!IconDropDelegate::accepts(*event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

std::optional<IconTileView::DropSpot> IconTileView::dropSpotAt(const QDropEvent &event) const
{
    const IconTileLayout::Hit hit = hitAt(event.position().toPoint());
    if (!hit.isValid())
        return std::nullopt;
    const IconSection &section = sections().at(hit.section);
    const QRectF tile = m_layout.tileRect(hit.section, hit.position);
    const double x = event.position().x() + contentOffset().x() - tile.left();
    return DropSpot { &section, section.iconIndexes.at(hit.position),
        IconDropDelegate::position(x, int(tile.width())) };
}

void IconTileView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!IconDropDelegate::accepts(*event)) {
        event->ignore();
        return;
    }
    const std::optional<DropSpot> spot = dropSpotAt(*event);
    if (!spot) {
        clearDropTarget();
        // Keep the drag alive over gaps so that the next tile still takes it.
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    m_dropContainer = spot->section->containerID;
    m_dropIndex = spot->iconIndex;
    m_dropPosition = spot->position;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    viewport()->update();
}

void IconTileView::dragLeaveEvent(QDragLeaveEvent *)
{
    clearDropTarget();
}

void IconTileView::dropEvent(QDropEvent *event)
{
    if (!IconDropDelegate::accepts(*event)) {
        event->ignore();
        return;
    }
    const std::optional<DropSpot> spot = dropSpotAt(*event);
    clearDropTarget();
    if (!spot) {
        event->ignore();
        return;
    }
    const qsizetype containerIndex = spot->section->containerIndex;
    event->setDropAction(Qt::CopyAction);
    event->accept();

    QList<IconContainer> containers = m_manager.containers();
    IconDropDelegate::moveSelected(
        containers[containerIndex].icons, m_selectionManager.selection(), spot->iconIndex, spot->position);
    m_manager.setContainers(std::move(containers));
}
