// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/iconpreviewsizedrag.h"
#include "platform/settings/settingskey.h"

#include <QWidget>

#include <memory>
#include <optional>

class IconPreviewSizeStepperButton;
class Settings;
class QLabel;
class QLineEdit;
class QMenu;
class QStackedWidget;

// The status bar's control of the icon preview size: a minus button, the size, and a plus button
// in a rounded box. The buttons step to the neighbouring preset (with Alt, to 16 or 512); a click
// on the number opens a field whose text is applied on Return; dragging sideways on the number
// changes the size continuously (with Alt, preset by preset); the context menu lists the presets
// with the current one checked. Every way keeps the size within 16…512.
//
// The size lives in the settings key and is written only by the user's actions here, never by
// building or showing the stepper; writes by anyone else show at once. The main window disables
// the stepper (setEnabled(false)) while no container is selected: it dims, ignores input, and ends
// a drag under way.
class IconPreviewSizeStepper : public QWidget
{
    Q_OBJECT

public:
    // Over the settings' "iconPreviewSize" and the session's real pointer.
    explicit IconPreviewSizeStepper(const Settings &settings, QWidget *parent = nullptr);
    // `size` must outlive the stepper.
    IconPreviewSizeStepper(
        const SettingsKey<qint64> &size, std::shared_ptr<ScreenPointer> pointer, QWidget *parent = nullptr);
    ~IconPreviewSizeStepper() override;

    bool isEditing() const;
    bool isDragging() const { return m_drag.isDragging(); }
    // The last size, clamped: what the field starts from, and what Return applies when the text is
    // no integer.
    qint64 textFieldValue() const { return m_textFieldValue; }

Q_SIGNALS:
    // A drag brought the size onto a preset: where there are haptics, the moment for a level-change
    // tap. Emitted once on arrival, not again while the size stays there.
    void levelFeedback();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void stepSize(bool forward, Qt::KeyboardModifiers modifiers);
    void setSize(qint64 size);
    void sizeChanged();
    void beginEditing();
    void submitText();
    void rebuildMenu();
    bool numberMouseEvent(QEvent *event);
    void endDrag();
    void setFeedbackTrigger(bool on);
    void updateColors();

    const SettingsKey<qint64> &m_key;
    qint64 m_size;
    qint64 m_textFieldValue;
    qint64 m_sizeWhenDragStarted;
    bool m_feedbackTrigger = false;
    // Where the left button went down on the number, until it is released or the drag ends.
    std::optional<QPointF> m_pressPosition;
    IconPreviewSizeDrag m_drag;

    IconPreviewSizeStepperButton *m_minus;
    IconPreviewSizeStepperButton *m_plus;
    QStackedWidget *m_value;
    QLabel *m_number;
    QLineEdit *m_field;
    QMenu *m_menu;
};
