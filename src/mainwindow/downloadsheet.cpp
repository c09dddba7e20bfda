// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/downloadsheet.h"

#include "library/containermanager.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/failurealert.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int stripIconPoints = 48;

} // namespace

DownloadSheet::DownloadSheet(
    std::optional<IconContainer> container, ContainerManager &manager, ThumbnailProvider &thumbnails, QWidget *parent)
    : QDialog(parent)
    , m_container(std::move(container))
    , m_manager(manager)
    , m_thumbnails(thumbnails)
{
    setWindowTitle(tr("Downloaded Icon Container"));
    setWindowModality(Qt::WindowModal);

    m_title = new QLabel(this);
    m_title->setObjectName(u"title"_s);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setWordWrap(true);
    m_title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    m_title->setFont(titleFont);
    m_author = new QLabel(this);
    m_author->setObjectName(u"author"_s);
    m_author->setTextFormat(Qt::PlainText);
    m_author->setWordWrap(true);
    m_count = new QLabel(this);
    m_count->setObjectName(u"iconCount"_s);
    m_count->setTextFormat(Qt::PlainText);

    m_strip = new QListWidget(this);
    m_strip->setObjectName(u"strip"_s);
    m_strip->setViewMode(QListView::IconMode);
    m_strip->setFlow(QListView::LeftToRight);
    m_strip->setWrapping(false);
    m_strip->setMovement(QListView::Static);
    m_strip->setSelectionMode(QAbstractItemView::NoSelection);
    m_strip->setFocusPolicy(Qt::NoFocus);
    m_strip->setIconSize(QSize(stripIconPoints, stripIconPoints));
    m_strip->setGridSize(QSize(stripIconPoints + 16, stripIconPoints + 16));
    m_strip->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_strip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Wide enough for a small collection to show whole, up to eight icons; more scroll.
    const qsizetype icons = m_container ? m_container->icons.size() : 0;
    const int columns = int(std::clamp<qsizetype>(icons, 6, 8));
    const int scrollBar = icons > columns ? m_strip->horizontalScrollBar()->sizeHint().height() : 0;
    m_strip->setFixedHeight(stripIconPoints + 16 + scrollBar + 2 * m_strip->frameWidth());
    m_strip->setMinimumWidth(columns * (stripIconPoints + 16) + 2 * m_strip->frameWidth());

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Close)->setAutoDefault(false);
    m_addButton = buttons->addButton(tr("Add to Library"), QDialogButtonBox::AcceptRole);
    m_addButton->setObjectName(u"addToLibrary"_s);
    m_addButton->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_author);
    layout->addWidget(m_count);
    layout->addWidget(m_strip);
    layout->addWidget(buttons);

    if (m_container) {
        m_title->setText(m_container->title);
        m_author->setText(tr("by %1").arg(m_container->authorName));
        m_author->setVisible(!m_container->authorName.isEmpty());
        const qsizetype count = m_container->icons.size();
        m_count->setText(count == 1 ? tr("1 icon") : tr("%1 icons").arg(count));
        fillStrip();
    } else {
        m_title->setText(tr("No icon container was downloaded."));
        m_title->setFont(font());
        setMinimumWidth(360);
        m_author->hide();
        m_count->hide();
        m_strip->hide();
        m_addButton->hide();
    }
    m_strip->setVisible(m_container && !m_container->icons.isEmpty());

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_addButton, &QPushButton::clicked, this, &DownloadSheet::addToLibrary);
    connect(&m_thumbnails, &ThumbnailProvider::ready, this, &DownloadSheet::showThumbnail);
}

DownloadSheet::~DownloadSheet()
{
    m_thumbnails.cancel(this);
}

void DownloadSheet::fillStrip()
{
    const qsizetype shown = qMin<qsizetype>(m_container->icons.size(), maxStripIcons);
    for (qsizetype i = 0; i < shown; ++i) {
        const Icon &icon = m_container->icons.at(i);
        auto *item = new QListWidgetItem(m_strip);
        item->setToolTip(icon.name);
        item->setData(Qt::UserRole, icon.id);
        item->setSizeHint(QSize(stripIconPoints + 16, stripIconPoints + 16));
        const QImage picture = m_thumbnails.request(this, icon, stripIconPoints, devicePixelRatioF());
        if (!picture.isNull())
            item->setIcon(QIcon(QPixmap::fromImage(picture)));
    }
}

void DownloadSheet::showThumbnail(const QObject *requester, QUuid id)
{
    if (requester != this || !m_container)
        return;
    for (int row = 0; row < m_strip->count(); ++row) {
        QListWidgetItem *item = m_strip->item(row);
        if (item->data(Qt::UserRole).toUuid() != id)
            continue;
        const QImage picture
            = m_thumbnails.request(this, m_container->icons.at(row), stripIconPoints, devicePixelRatioF());
        if (!picture.isNull())
            item->setIcon(QIcon(QPixmap::fromImage(picture)));
        return;
    }
}

void DownloadSheet::addToLibrary()
{
    if (!m_container || m_added)
        return;
    m_added = true;
    m_addButton->setEnabled(false);
    const QPointer<DownloadSheet> self(this);
    m_manager.saveIntoLibrary([container = *m_container]() -> std::optional<IconContainer> { return container; },
        [self](const ContainerManager::SaveOutcome &outcome) {
            if (self)
                self->saveEnded(outcome);
        });
    m_manager.loadLibrary();
}

void DownloadSheet::saveEnded(const ContainerManager::SaveOutcome &outcome)
{
    if (outcome.saved) {
        accept();
        return;
    }
    // The sheet stays, so that the user can try again once the cause is mended.
    m_added = false;
    m_addButton->setEnabled(true);
    const QString title = errorDescription(outcome.error.value_or(ContainerError::writeContainerFailed));
    m_alert = FailureAlert::show(this, title, outcome.reasons.join(u'\n'));
}
