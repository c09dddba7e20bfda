// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icon.h"

#include <QPoint>
#include <QWidget>

#include <memory>
#include <optional>

class FileIconSetter;
class Settings;
class IconSelectionManager;
class ThumbnailProvider;

// The gallery's large preview: the icon drawn at "iconPreviewSize", centred, kept at least that
// large so that the scroll area around it scrolls when it does not fit. Dragging the picture hands
// over the icon as its tile would; a click beside the picture empties the icon selection.
class IconGalleryPreview : public QWidget
{
    Q_OBJECT

public:
    IconGalleryPreview(IconSelectionManager &selectionManager, ThumbnailProvider &provider,
        std::shared_ptr<FileIconSetter> iconSetter, Settings &settings, QWidget *parent = nullptr);
    ~IconGalleryPreview() override;

    const std::optional<Icon> &icon() const { return m_icon; }
    void setIcon(std::optional<Icon> icon);
    void setPreviewSize(int points);
    // Where the picture lies, in the widget's coordinates.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    IconSelectionManager &m_selectionManager;
    ThumbnailProvider &m_provider;
    std::shared_ptr<FileIconSetter> m_iconSetter; // for the folders of drags
    Settings &m_settings;
    std::optional<Icon> m_icon;
    int m_previewSize = 64;
    QPoint m_pressPosition;
    bool m_pressedOnPicture = false;
};
