// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/iconcollectioninputs.h"
#include "model/icon.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QUuid>

#include <memory>
#include <QWidget>

#include <optional>

class ContainerManager;
class FileIconSetter;
class Settings;
class IconGalleryPreview;
class IconSelectionManager;
class ThumbnailProvider;
class IconTileView;
class AdaptiveScrollArea;
class MotionAnimation;

// The gallery presentation: a large preview of the most recently selected icon above a strip of
// tiles, one group per selected container in library order with dividers between groups. When the
// container selection changes and no icon of a selected container is selected, the first icon of
// the first selected container in library order becomes the selection.
// Turning names on or off ("showIconNamesInGallery") animates the strip's height with the standard
// timing, the preview's area following it; every other change of its height is made at once.
class IconCollectionGallery : public QWidget
{
    Q_OBJECT

public:
    explicit IconCollectionGallery(IconCollectionInputs inputs, QWidget *parent = nullptr);

    void setContainerSelection(QSet<QUuid> selection);
    void setSearchText(QString text);
    bool showBackground() const { return m_showBackground; }

    IconTileView *strip() const { return m_strip; }
    IconGalleryPreview *preview() const { return m_preview; }

Q_SIGNALS:
    void showBackgroundChanged(bool showBackground);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void selectFirstIcon();
    void updatePreview();
    void updateStripHeight();
    // The first icon of that identifier in library order, and its container's position.
    const Icon *find(const QUuid &id, qsizetype *containerIndex = nullptr);

    ContainerManager &m_manager;
    IconSelectionManager &m_selectionManager;
    QSet<QUuid> m_containerSelection;
    bool m_showBackground = false;
    IconTileView *m_strip = nullptr;
    Settings &m_settings;
    IconGalleryPreview *m_preview = nullptr;
    AdaptiveScrollArea *m_previewArea = nullptr;
    MotionAnimation *m_stripHeight = nullptr;
    // The names setting the strip's height was last set for.
    bool m_namesShown = false;
    // Icon id → (container position, icon position), rebuilt when the library changes.
    QHash<QUuid, QPair<qsizetype, qsizetype>> m_iconPositions;
};
