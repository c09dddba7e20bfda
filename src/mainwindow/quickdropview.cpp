// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/quickdropview.h"

#include "library/thumbnailprovider.h"
#include "platform/desktop/fileiconsetter.h"
#include "platform/images/platformimage.h"
#include "widgets/foregroundlevel.h"
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

namespace {

constexpr int headerHeight = 32;
constexpr int headerPreviewSide = 32;
constexpr int expandedSideMargin = 48;

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

    m_finishReset.setSingleShot(true);
    m_finishReset.setInterval(finishResetMilliseconds);
    connect(&m_finishReset, &QTimer::timeout, this, [this] {
        m_didFinishDrop = false;
        refresh();
    });
    m_successReset.setSingleShot(true);
    m_successReset.setInterval(successResetMilliseconds);
    connect(&m_successReset, &QTimer::timeout, this, [this] {
        m_dropSuccessful = false;
        refresh();
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *header = new QWidget(this);
    auto *headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(10, 6, 10, 6);
    m_symbol = new QLabel(header);
    m_title = new QLabel(header);
    m_title->setTextFormat(Qt::RichText);
    // Rich text would take the mouse for links; the title has none, and a click on it opens the panel.
    m_title->setTextInteractionFlags(Qt::NoTextInteraction);
    m_title->setText(titleRichText(tr("_Quick_**Drop**")));
    m_headerPreview = new QLabel(header);
    m_headerPreview->setFixedSize(headerPreviewSide, headerPreviewSide);
    m_headerPreview->setAlignment(Qt::AlignCenter);
    headerLayout->addWidget(m_symbol);
    headerLayout->addWidget(m_title);
    headerLayout->addStretch(1);
    headerLayout->addWidget(m_headerPreview);
    header->setFixedHeight(headerHeight + 12);
    layout->addWidget(header);

    m_expandedPart = new QWidget(this);
    auto *expandedLayout = new QVBoxLayout(m_expandedPart);
    expandedLayout->setContentsMargins(expandedSideMargin, 8, expandedSideMargin, 16);
    m_largePreview = new QLabel(m_expandedPart);
    m_largePreview->setAlignment(Qt::AlignCenter);
    m_instruction
        = new QLabel(tr("Select an icon, then drop a file or folder here to apply that icon."), m_expandedPart);
    m_instruction->setWordWrap(true);
    m_instruction->setAlignment(Qt::AlignCenter);
    m_instruction->setContentsMargins(8, 8, 8, 8);
    expandedLayout->addWidget(m_largePreview, 0, Qt::AlignHCenter);
    expandedLayout->addWidget(m_instruction, 0, Qt::AlignHCenter);
    layout->addWidget(m_expandedPart);

    connect(&m_provider, &ThumbnailProvider::ready, this, [this](const QObject *requester, QUuid id) {
        if (requester == this && m_icon && m_icon->id == id)
            refreshPreviews();
    });
    refresh();
}

QuickDropView::~QuickDropView()
{
    m_provider.cancel(this);
}

void QuickDropView::setIcon(std::optional<Icon> icon)
{
    m_icon = std::move(icon);
    refresh();
}

void QuickDropView::setExpanded(bool expanded)
{
    m_expanded = expanded;
    refresh();
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
    QList<ImageRep> reps = image->representations();
    std::stable_sort(reps.begin(), reps.end(), [](const ImageRep &a, const ImageRep &b) {
        return qint64(a.pixelSize().width()) * a.pixelSize().height()
            > qint64(b.pixelSize().width()) * b.pixelSize().height();
    });
    // A damaged representation decodes to nothing; the next largest one stands in. The image is
    // made for this drop alone, so its pixels are kept nowhere.
    for (const ImageRep &rep : reps) {
        QImage bitmap = rep.decodedBitmap();
        if (!bitmap.isNull())
            return bitmap;
    }
    return std::nullopt;
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
    refresh();
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
    m_symbol->setPixmap(Symbol::pixmap(statusSymbol(), symbolSide, color, devicePixelRatioF()));

    m_instruction->setFont(callout);
    QPalette instructionPalette = m_instruction->palette();
    instructionPalette.setColor(QPalette::WindowText, foregroundColor(palette(), ForegroundLevel::secondary));
    m_instruction->setPalette(instructionPalette);

    m_headerPreview->setVisible(m_icon && !m_expanded);
    m_expandedPart->setVisible(m_expanded);
    m_largePreview->setVisible(m_icon.has_value());
    m_instruction->setVisible(!m_icon);
    refreshPreviews();
    update();
}

QImage QuickDropView::preview(double points) const
{
    if (!m_icon || points <= 0)
        return {};
    return m_provider.request(this, *m_icon, points, devicePixelRatioF());
}

void QuickDropView::refreshPreviews()
{
    const int side = std::max(0, width() - 2 * expandedSideMargin);
    m_largePreview->setFixedSize(side, side);
    m_instruction->setFixedSize(side, side);
    if (m_headerPreview->isVisibleTo(this))
        m_headerPreview->setPixmap(QPixmap::fromImage(preview(headerPreviewSide)));
    if (m_expanded && m_icon)
        m_largePreview->setPixmap(QPixmap::fromImage(preview(side)));
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
    if (m_instruction->isVisibleTo(this)) {
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(
            foregroundColor(palette(), ForegroundLevel::tertiary), 2, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setDashPattern({ 2, 2 }); // in units of the pen's width: 4 on, 4 off
        painter.setPen(pen);
        const QRectF frame = QRectF(m_instruction->geometry().translated(m_expandedPart->pos())).adjusted(1, 1, -1, -1);
        painter.drawRoundedRect(frame, 8, 8);
    }
}

void QuickDropView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refreshPreviews();
}

void QuickDropView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        refresh();
    QWidget::changeEvent(event);
}
