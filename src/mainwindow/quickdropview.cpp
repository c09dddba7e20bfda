// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/quickdropview.h"

#include "library/thumbnailprovider.h"
#include "platform/desktop/fileiconsetter.h"
#include "platform/images/platformimage.h"
#include "widgets/crossfade.h"
#include "widgets/foregroundlevel.h"
#include "widgets/motionanimation.h"
#include "widgets/symbol.h"
#include "widgets/textstyle.h"
#include "widgets/visualeffectview.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QtConcurrent/QtConcurrentRun>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int headerHeight = 32;
constexpr int headerPadding = 6;
constexpr int headerRowHeight = headerHeight + 2 * headerPadding;
constexpr int headerSideMargin = 10;
constexpr int headerPreviewSide = 32;
constexpr int expandedSideMargin = 48;
constexpr int expandedTopMargin = 8;
constexpr int expandedBottomMargin = 16;
constexpr int instructionPadding = 8;
// The instruction's look at the far end of its transition: how small and how blurred it gets.
constexpr qreal instructionRemovedScale = 0.8;
constexpr qreal instructionRemovedBlur = 6.0;

qreal lerp(qreal from, qreal to, qreal progress)
{
    return from + (to - from) * progress;
}

QRectF lerp(const QRectF &from, const QRectF &to, qreal progress)
{
    return { lerp(from.x(), to.x(), progress), lerp(from.y(), to.y(), progress),
        lerp(from.width(), to.width(), progress), lerp(from.height(), to.height(), progress) };
}

// `image` fitted into `frame` with its own aspect ratio, centred.
QRectF fitted(const QImage &image, const QRectF &frame)
{
    if (image.isNull())
        return frame;
    QSizeF size = image.deviceIndependentSize();
    size.scale(frame.size(), Qt::KeepAspectRatio);
    return { frame.center() - QPointF(size.width() / 2, size.height() / 2), size };
}

QStringList localPaths(const QList<QUrl> &urls)
{
    QStringList paths;
    for (const QUrl &url : urls) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths << url.toLocalFile();
    }
    return paths;
}

// A drop is taken as a copy or a link, whichever the source allows, never as a move: after a
// move the source would delete what it thinks it handed over.
Qt::DropAction acceptedAction(Qt::DropActions possible, Qt::DropAction proposed)
{
    if ((proposed == Qt::CopyAction || proposed == Qt::LinkAction) && (possible & proposed))
        return proposed;
    if (possible & Qt::CopyAction)
        return Qt::CopyAction;
    if (possible & Qt::LinkAction)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

bool acceptDrag(QDropEvent *event)
{
    const Qt::DropAction action = acceptedAction(event->possibleActions(), event->proposedAction());
    if (action == Qt::IgnoreAction || !event->mimeData()->hasUrls()
        || localPaths(event->mimeData()->urls()).isEmpty()) {
        event->ignore();
        return false;
    }
    event->setDropAction(action);
    event->accept();
    return true;
}

// Runs on a worker thread: only values cross over, never the panel.
bool applyIcon(FileIconSetter &setter, bool hasIcon, const QByteArray &data, const QStringList &paths)
{
    std::optional<QImage> image;
    if (hasIcon) {
        image = QuickDropView::imageForIcon(data);
        // Without a picture the call would remove the items' custom icons instead.
        if (!image)
            return false;
    }
    bool allSucceeded = true;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink()) {
            allSucceeded = false;
            continue;
        }
        if (!setter.setIcon(image, path))
            allSucceeded = false;
    }
    return allSucceeded;
}

// The title's markdown as rich text. Plain CommonMark, where "_x_" is emphasis: Qt's own markdown
// labels read it as an underline.
QString titleRichText(const QString &markdown)
{
    QTextDocument document;
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectCommonMark);
    QString html;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            QString text = fragment.fragment().text().toHtmlEscaped();
            if (format.fontItalic())
                text = QStringLiteral("<i>%1</i>").arg(text);
            if (format.fontWeight() >= QFont::Bold)
                text = QStringLiteral("<b>%1</b>").arg(text);
            html += text;
        }
    }
    return html;
}

} // namespace

QuickDropView::QuickDropView(ThumbnailProvider &provider, std::shared_ptr<FileIconSetter> iconSetter, QWidget *parent)
    : QWidget(parent)
    , m_provider(provider)
    , m_iconSetter(std::move(iconSetter))
{
    setAcceptDrops(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(tr("Quick Drop"));
    setAccessibleDescription(tr("Select an icon, then drop a file or folder here to apply that icon."));

    m_finishReset.setSingleShot(true);
    m_finishReset.setInterval(finishResetMilliseconds);
    connect(&m_finishReset, &QTimer::timeout, this, [this] {
        m_didFinishDrop = false;
        refreshSymbol(true);
    });
    m_successReset.setSingleShot(true);
    m_successReset.setInterval(successResetMilliseconds);
    connect(&m_successReset, &QTimer::timeout, this, [this] {
        m_dropSuccessful = false;
        refreshSymbol(true);
    });

    m_openness = new MotionAnimation(MotionPolicy::Timing::spring, 0.0, this);
    m_openness->setObjectName(u"openAnimation"_s);
    connect(m_openness, &MotionAnimation::changed, this, [this] {
        // The sidebar lays out the panel's new height at once.
        updateGeometry();
        update();
    });
    m_presence = new MotionAnimation(MotionPolicy::Timing::spring, 0.0, this);
    m_presence->setObjectName(u"iconAnimation"_s);
    connect(m_presence, &MotionAnimation::changed, this, [this](const QVariant &value) {
        if (value.toDouble() <= 0 && !m_icon) {
            m_leavingIcon.reset();
            refreshPreviews();
        }
        update();
    });
    m_symbolFade = new MotionAnimation(MotionPolicy::Timing::standard, 1.0, this);
    m_symbolFade->setObjectName(u"symbolAnimation"_s);
    connect(m_symbolFade, &MotionAnimation::changed, this, &QuickDropView::paintSymbol);

    // The header is a row of its own; the expanded part below it is drawn by the panel, so the
    // preview can move between the two.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new QWidget(this);
    auto *headerLayout = new QHBoxLayout(m_header);
    headerLayout->setContentsMargins(headerSideMargin, headerPadding, headerSideMargin, headerPadding);
    m_symbol = new QLabel(m_header);
    m_title = new QLabel(m_header);
    m_title->setTextFormat(Qt::RichText);
    // Rich text would take the mouse for links; the title has none, and a click on it opens the panel.
    m_title->setTextInteractionFlags(Qt::NoTextInteraction);
    m_title->setText(titleRichText(tr("_Quick_**Drop**")));
    headerLayout->addWidget(m_symbol);
    headerLayout->addWidget(m_title);
    headerLayout->addStretch(1);
    // Room for the header's preview, which the panel draws.
    headerLayout->addSpacing(headerPreviewSide);
    m_header->setFixedHeight(headerRowHeight);
    layout->addWidget(m_header);
    layout->addStretch(1);

    connect(&m_provider, &ThumbnailProvider::ready, this, [this](const QObject *requester, QUuid id) {
        const std::optional<Icon> &icon = m_icon ? m_icon : m_leavingIcon;
        if (requester == this && icon && icon->id == id) {
            refreshPreviews();
            update();
        }
    });
    refresh();
}

QuickDropView::~QuickDropView()
{
    m_provider.cancel(this);
}

void QuickDropView::setIcon(std::optional<Icon> icon)
{
    const bool presenceChanges = m_icon.has_value() != icon.has_value();
    if (m_icon && !icon)
        m_leavingIcon = m_icon;
    else if (icon)
        m_leavingIcon.reset();
    m_icon = std::move(icon);
    if (presenceChanges) {
        m_presence->moveTo(m_icon ? 1.0 : 0.0);
        // The instruction is drawn, not a label: screen readers hear it here.
        setAccessibleDescription(
            m_icon ? QString() : tr("Select an icon, then drop a file or folder here to apply that icon."));
    }
    refreshSymbol(true);
    refreshPreviews();
    update();
}

void QuickDropView::setExpanded(bool expanded)
{
    m_expanded = expanded;
    m_openness->moveTo(expanded ? 1.0 : 0.0);
    refreshPreviews();
}

void QuickDropView::setMotionPolicy(const MotionPolicy &policy)
{
    for (MotionAnimation *animation : { m_openness, m_presence, m_symbolFade })
        animation->setPolicy(policy);
}

QSize QuickDropView::sizeHint() const
{
    const int opened = int(std::lround(m_openness->value().toDouble() * expandedHeight()));
    return { m_header->sizeHint().width(), headerRowHeight + opened };
}

QSize QuickDropView::minimumSizeHint() const
{
    return sizeHint();
}

int QuickDropView::expandedHeight() const
{
    return expandedTopMargin + std::max(0, width() - 2 * expandedSideMargin) + expandedBottomMargin;
}

QRectF QuickDropView::headerPreviewFrame() const
{
    return { qreal(width() - headerSideMargin - headerPreviewSide), qreal(headerPadding), qreal(headerPreviewSide),
        qreal(headerPreviewSide) };
}

QRectF QuickDropView::expandedFrame() const
{
    const qreal side = std::max(0, width() - 2 * expandedSideMargin);
    return { qreal(expandedSideMargin), qreal(headerRowHeight + expandedTopMargin), side, side };
}

QRectF QuickDropView::previewFrame() const
{
    if (!m_icon && !m_leavingIcon)
        return {};
    return lerp(headerPreviewFrame(), expandedFrame(), m_openness->value().toDouble());
}

QString QuickDropView::statusSymbol() const
{
    return statusSymbol(m_didFinishDrop, m_dropSuccessful, m_targeted, m_icon.has_value());
}

QString QuickDropView::statusSymbol(bool didFinishDrop, bool dropSuccessful, bool isTargeted, bool hasIcon)
{
    if (didFinishDrop)
        return dropSuccessful ? QStringLiteral("checkmark") : QStringLiteral("xmark");
    if (isTargeted && !hasIcon)
        return QStringLiteral("minus.circle");
    return QStringLiteral("cursorarrow.and.square.on.square.dashed");
}

std::optional<QImage> QuickDropView::imageForIcon(const QByteArray &data)
{
    const std::optional<PlatformImage> image = PlatformImage::fromData(data);
    if (!image)
        return std::nullopt;
    // The largest representation; a damaged one decodes to nothing and the next largest stands
    // in. The image is made for this drop alone, so its pixels are kept nowhere.
    QImage bitmap = PlatformImage::decodedBest(image->representations(), std::numeric_limits<double>::infinity());
    if (bitmap.isNull())
        return std::nullopt;
    return bitmap;
}

bool QuickDropView::performDrop(const QList<QUrl> &urls)
{
    const QStringList paths = localPaths(urls);
    if (paths.isEmpty()) {
        finishDrop(false);
        return false;
    }
    std::shared_ptr<FileIconSetter> setter = m_iconSetter;
    auto *watcher = new QFutureWatcher<bool>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        finishDrop(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(
        // The icon's bytes may lie in its file: read there, not on this thread.
        QtConcurrent::run([setter, icon = m_icon, paths] {
            return applyIcon(*setter, icon.has_value(), icon ? icon->primaryData() : QByteArray(), paths);
        }));
    return true;
}

void QuickDropView::finishDrop(bool successful)
{
    m_didFinishDrop = true;
    m_dropSuccessful = successful;
    // Restarted by every result, so a second drop's symbol stays its full second too.
    m_finishReset.start();
    m_successReset.start();
    refreshSymbol(true);
    Q_EMIT dropFinished(successful);
}

void QuickDropView::setTargeted(bool targeted)
{
    if (m_targeted == targeted)
        return;
    m_targeted = targeted;
    refresh();
}

void QuickDropView::dragEnterEvent(QDragEnterEvent *event)
{
    setTargeted(acceptDrag(event));
}

void QuickDropView::dragMoveEvent(QDragMoveEvent *event)
{
    setTargeted(acceptDrag(event));
}

void QuickDropView::dragLeaveEvent(QDragLeaveEvent *event)
{
    setTargeted(false);
    event->accept();
}

void QuickDropView::dropEvent(QDropEvent *event)
{
    setTargeted(false);
    if (!acceptDrag(event))
        return;
    performDrop(event->mimeData()->urls());
}

void QuickDropView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        setExpanded(!m_expanded);
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void QuickDropView::refresh()
{
    const QColor color = foregroundColor(palette(), m_targeted ? ForegroundLevel::primary : ForegroundLevel::secondary);
    const QFont callout = TextStyle::callout(font());
    m_title->setFont(callout);
    QPalette titlePalette = m_title->palette();
    titlePalette.setColor(QPalette::WindowText, color);
    m_title->setPalette(titlePalette);
    const int symbolSide = QFontMetrics(font()).height();
    m_symbol->setFixedSize(symbolSide, symbolSide);
    m_instructionGroup = {};
    refreshSymbol(false);
    refreshPreviews();
    update();
}

void QuickDropView::refreshSymbol(bool animated)
{
    const QString name = statusSymbol();
    if (name != m_symbolName) {
        m_previousSymbolName = animated ? m_symbolName : name;
        m_symbolName = name;
        if (animated) {
            m_symbolFade->jumpTo(0.0);
            m_symbolFade->moveTo(1.0);
            return;
        }
        m_symbolFade->jumpTo(1.0);
        return;
    }
    paintSymbol();
}

void QuickDropView::paintSymbol()
{
    const QColor color = foregroundColor(palette(), m_targeted ? ForegroundLevel::primary : ForegroundLevel::secondary);
    const int side = m_symbol->width();
    const qreal ratio = devicePixelRatioF();
    const qreal progress = m_symbolFade->value().toDouble();
    if (progress >= 1 || m_previousSymbolName == m_symbolName) {
        m_symbol->setPixmap(Symbol::pixmap(m_symbolName, side, color, ratio));
        return;
    }
    m_symbol->setPixmap(CrossFade::mix(Symbol::pixmap(m_previousSymbolName, side, color, ratio),
        Symbol::pixmap(m_symbolName, side, color, ratio), progress));
}

QImage QuickDropView::preview(const Icon &icon, double points) const
{
    if (points <= 0)
        return {};
    return m_provider.request(this, icon, points, devicePixelRatioF());
}

void QuickDropView::refreshPreviews()
{
    const std::optional<Icon> &icon = m_icon ? m_icon : m_leavingIcon;
    if (!icon) {
        m_headerImage = {};
        m_expandedImage = {};
        return;
    }
    m_headerImage = preview(*icon, headerPreviewSide);
    // The large picture only while the panel is open or on its way.
    const bool open = m_expanded || m_openness->value().toDouble() > 0;
    m_expandedImage = open ? preview(*icon, expandedFrame().width()) : QImage();
}

const QImage &QuickDropView::instructionGroup()
{
    const QRectF frame = expandedFrame();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (frame.size() * ratio).toSize();
    if (m_instructionGroup.size() == pixels || pixels.isEmpty())
        return m_instructionGroup;
    m_instructionGroup = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_instructionGroup.setDevicePixelRatio(ratio);
    m_instructionGroup.fill(Qt::transparent);
    QPainter painter(&m_instructionGroup);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF local(QPointF(0, 0), frame.size());
    QPen pen(foregroundColor(palette(), ForegroundLevel::tertiary), 2, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({ 2, 2 }); // in units of the pen's width: 4 on, 4 off
    painter.setPen(pen);
    painter.drawRoundedRect(local.adjusted(1, 1, -1, -1), 8, 8);
    painter.setFont(TextStyle::callout(font()));
    painter.setPen(foregroundColor(palette(), ForegroundLevel::secondary));
    painter.drawText(local.adjusted(instructionPadding, instructionPadding, -instructionPadding, -instructionPadding),
        Qt::AlignCenter | Qt::TextWordWrap, tr("Select an icon, then drop a file or folder here to apply that icon."));
    return m_instructionGroup;
}

void QuickDropView::paintInstruction(QPainter &painter, qreal insertion)
{
    const QImage &group = instructionGroup();
    if (group.isNull())
        return;
    const QRectF frame = expandedFrame();
    const qreal scale = lerp(instructionRemovedScale, 1.0, insertion);
    const QRectF target(
        frame.center() - QPointF(frame.width() * scale / 2, frame.height() * scale / 2), frame.size() * scale);
    painter.save();
    painter.setOpacity(insertion);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal blur = lerp(instructionRemovedBlur, 0.0, insertion) * devicePixelRatioF();
    if (blur < 0.5) {
        painter.drawImage(target, group);
    } else {
        // A cheap blur: the group drawn from a copy that many times smaller, smoothed back up.
        const QSize small = (QSizeF(group.size()) / (1 + blur)).toSize().expandedTo(QSize(1, 1));
        painter.drawImage(target, group.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    painter.restore();
}

void QuickDropView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), VisualEffectView::tint(VisualEffectView::Material::ultraThin, false, palette(), true));
    if (m_targeted) {
        QColor accent = accentColor(palette());
        accent.setAlphaF(0.1f);
        painter.fillRect(rect(), accent);
    }
    painter.fillRect(QRect(0, 0, width(), 1), foregroundColor(palette(), ForegroundLevel::quaternary));

    const qreal openness = m_openness->value().toDouble();
    const qreal presence = m_presence->value().toDouble();
    // The instruction stands in the expanded part while there is no icon.
    const qreal insertion = openness * (1 - presence);
    if (insertion > 0)
        paintInstruction(painter, insertion);

    if (presence > 0 && (m_icon || m_leavingIcon)) {
        const QImage &image = openness > 0 && !m_expandedImage.isNull() ? m_expandedImage : m_headerImage;
        if (!image.isNull()) {
            painter.setOpacity(presence);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(fitted(image, previewFrame()), image);
        }
    }
}

void QuickDropView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (event->oldSize().width() != width()) {
        m_instructionGroup = {};
        refreshPreviews();
        // The expanded part is as tall as the panel is wide.
        updateGeometry();
    }
}

void QuickDropView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        refresh();
    QWidget::changeEvent(event);
}
