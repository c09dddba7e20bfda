// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icon.h"
#include "widgets/motionpolicy.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <optional>

class FileIconSetter;
class MotionAnimation;
class QLabel;
class ThumbnailProvider;

// A plain widget, not an item view.
// The panel at the bottom of the sidebar that applies the chosen icon to files and folders dropped
// on it, or removes their custom icons when no icon is chosen. A click anywhere opens or closes
// it; the whole panel is the drop target.
// Guarantees: drops of local files and folders are taken as a copy or a link, never as a move, so
// a source never deletes its originals. Icons are set off the GUI thread, through the
// FileIconSetter handed in, which a drop in progress keeps. The result shows once every item of a
// drop has been handled: "checkmark" when all succeeded, "xmark" otherwise, for one second. A
// chosen icon whose data gives no image makes no call at all and shows "xmark". Completions and
// resets belong to the panel: none of them runs once it is gone.
// Motion, under the MotionPolicy handed in: opening and closing, and an icon arriving or leaving,
// follow the 0.2 s spring, the panel's height with them, so the sidebar's layout follows without a
// jump; the one preview moves and scales between its header and expanded frames; the instruction
// enters and leaves blurring, fading and scaling (up as it enters, down as it leaves); a result
// or its reset cross-fades the status symbol. A hovering drag changes the symbol at once.
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

    // Nothing moves until a policy is handed in.
    void setMotionPolicy(const MotionPolicy &policy);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Where the preview is drawn now (empty without an icon), and its header and expanded frames.
    QRectF previewFrame() const;
    QRectF headerPreviewFrame() const;
    QRectF expandedFrame() const;

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
    // Shows the symbol of the state now, cross-fading from the last one when `animated`.
    void refreshSymbol(bool animated);
    void paintSymbol();
    void refreshPreviews();
    QImage preview(const Icon &icon, double points) const;
    int expandedHeight() const;
    // The instruction with its dashed frame, drawn once per size and palette.
    const QImage &instructionGroup();
    void paintInstruction(QPainter &painter, qreal insertion);

    ThumbnailProvider &m_provider;
    std::shared_ptr<FileIconSetter> m_iconSetter;
    std::optional<Icon> m_icon;
    bool m_expanded = false;
    bool m_targeted = false;
    bool m_didFinishDrop = false;
    bool m_dropSuccessful = false;
    QTimer m_finishReset;
    QTimer m_successReset;

    // 0 collapsed, 1 expanded.
    MotionAnimation *m_openness = nullptr;
    // 0 without an icon, 1 with one; the icon that left is drawn until it has faded.
    MotionAnimation *m_presence = nullptr;
    std::optional<Icon> m_leavingIcon;
    // From the last symbol (0) to the current one (1).
    MotionAnimation *m_symbolFade = nullptr;
    QString m_symbolName;
    QString m_previousSymbolName;

    QImage m_headerImage;
    QImage m_expandedImage;
    QImage m_instructionGroup;

    QWidget *m_header = nullptr;
    QLabel *m_symbol = nullptr;
    QLabel *m_title = nullptr;
};
