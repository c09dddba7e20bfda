// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icon.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <optional>

class FileIconSetter;
class QLabel;
class ThumbnailProvider;

// The panel at the bottom of the sidebar that applies the chosen icon to files and folders dropped
// on it, or removes their custom icons when no icon is chosen. A click anywhere opens or closes
// it; the whole panel is the drop target.
// Guarantees: drops of local files and folders are taken as a copy or a link, never as a move, so
// a source never deletes its originals. Icons are set off the GUI thread, through the
// FileIconSetter handed in, which a drop in progress keeps. The result shows once every item of a
// drop has been handled: "checkmark" when all succeeded, "xmark" otherwise, for one second. A
// chosen icon whose data gives no image makes no call at all and shows "xmark". Completions and
// resets belong to the panel: none of them runs once it is gone.
class QuickDropView : public QWidget
{
    Q_OBJECT

public:
    QuickDropView(ThumbnailProvider &provider, std::shared_ptr<FileIconSetter> iconSetter, QWidget *parent = nullptr);
    ~QuickDropView() override;

    static constexpr int finishResetMilliseconds = 1000;
    static constexpr int successResetMilliseconds = 2000;

    const std::optional<Icon> &icon() const { return m_icon; }
    void setIcon(std::optional<Icon> icon);

    bool isExpanded() const { return m_expanded; }
    void setExpanded(bool expanded);

    bool isTargeted() const { return m_targeted; }
    // The name of the header's status symbol now.
    QString statusSymbol() const;
    // The symbol for a state: the first rule that holds of result, hovering drag, idle.
    static QString statusSymbol(bool didFinishDrop, bool dropSuccessful, bool isTargeted, bool hasIcon);

    // Applies the current icon to the local files among `urls`; the result follows in
    // dropFinished(). Other URLs are skipped. Returns false when there was nothing to apply to.
    bool performDrop(const QList<QUrl> &urls);

    // The picture given to the set-icon call: the largest readable representation of the icon's
    // own data; none when the data gives no image. Safe on any thread.
    static std::optional<QImage> imageForIcon(const QByteArray &data);

Q_SIGNALS:
    // Once per drop, after every item has been handled.
    void dropFinished(bool successful);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void finishDrop(bool successful);
    void setTargeted(bool targeted);
    void refresh();
    void refreshPreviews();
    QImage preview(double points) const;

    ThumbnailProvider &m_provider;
    std::shared_ptr<FileIconSetter> m_iconSetter;
    std::optional<Icon> m_icon;
    bool m_expanded = false;
    bool m_targeted = false;
    bool m_didFinishDrop = false;
    bool m_dropSuccessful = false;
    QTimer m_finishReset;
    QTimer m_successReset;

    QLabel *m_symbol = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_headerPreview = nullptr;
    QWidget *m_expandedPart = nullptr;
    QLabel *m_largePreview = nullptr;
    QLabel *m_instruction = nullptr;
};
