// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconpreviewsizestepper.h"

#include "collections/cursorkit.h"
#include "collections/iconpreviewsize.h"
#include "collections/iconpreviewsizestepperbutton.h"
#include "library/settings.h"
#include "model/iconenums.h"
#include "platform/ui/systemscreenpointer.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineF>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>

namespace {

// The value area's width, room for "512" and the field's margins.
constexpr int valueWidth = 60;
// How far the pointer moves before a press on the number is a drag rather than a click.
constexpr qreal dragDistance = 10;

} // namespace

IconPreviewSizeStepper::IconPreviewSizeStepper(const Settings &settings, QWidget *parent)
    : IconPreviewSizeStepper(settings.iconPreviewSize(), std::make_shared<SystemScreenPointer>(), parent)
{ }

IconPreviewSizeStepper::IconPreviewSizeStepper(
    const SettingsKey<qint64> &size, std::shared_ptr<ScreenPointer> pointer, QWidget *parent)
    : QWidget(parent)
    , m_key(size)
    , m_size(size.read())
    , m_textFieldValue(IconPreviewSize::clamped(m_size))
    , m_sizeWhenDragStarted(m_size)
    , m_drag(std::move(pointer))
    , m_minus(new IconPreviewSizeStepperButton(
          IconPreviewSizeStepperButtonPosition::leading, tr("Decrement Icon Preview Size"), this))
    , m_plus(new IconPreviewSizeStepperButton(
          IconPreviewSizeStepperButtonPosition::trailing, tr("Increment Icon Preview Size"), this))
    , m_value(new QStackedWidget(this))
    , m_number(new QLabel(m_value))
    , m_field(new QLineEdit(m_value))
    , m_menu(new QMenu(this))
{
    m_number->setAlignment(Qt::AlignCenter);
    m_number->setContentsMargins(8, 2, 8, 2);
    m_number->setText(IconPreviewSize::toText(m_size, locale()));
    m_number->installEventFilter(this);
    // Motions without a button reach the number too, so a release it missed still ends a drag.
    m_number->setMouseTracking(true);
    CursorKit::setHoverCursor(m_number, CursorKit::Cursor::resizeLeftRight);

    m_field->setFrame(false);
    m_field->setAlignment(Qt::AlignCenter);
    m_field->setTextMargins(6, 0, 6, 0);
    m_field->setPlaceholderText(tr("Icon Preview Size"));
    m_field->setAccessibleName(tr("Icon Preview Size"));
    m_field->setInputMethodHints(Qt::ImhNoPredictiveText | Qt::ImhPreferNumbers);
    QPalette fieldPalette = m_field->palette();
    fieldPalette.setColor(QPalette::Base, Qt::transparent);
    m_field->setPalette(fieldPalette);

    m_value->addWidget(m_number);
    m_value->addWidget(m_field);
    m_value->setFixedWidth(valueWidth);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_minus);
    layout->addWidget(m_value);
    layout->addWidget(m_plus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    updateColors();

    connect(m_minus, &QAbstractButton::clicked, this, [this] { stepSize(false, m_minus->activationModifiers()); });
    connect(m_plus, &QAbstractButton::clicked, this, [this] { stepSize(true, m_plus->activationModifiers()); });
    connect(m_field, &QLineEdit::returnPressed, this, &IconPreviewSizeStepper::submitText);
    connect(m_key.notifier(), &SettingsKeyNotifier::changed, this, &IconPreviewSizeStepper::sizeChanged);
}

IconPreviewSizeStepper::~IconPreviewSizeStepper()
{
    m_drag.finish();
}

bool IconPreviewSizeStepper::isEditing() const
{
    return m_value->currentWidget() == m_field;
}

void IconPreviewSizeStepper::stepSize(bool forward, Qt::KeyboardModifiers modifiers)
{
    const bool toEnd = modifiers.testFlag(Qt::AltModifier);
    setSize(forward ? IconPreviewSize::nextPreset(m_size, toEnd) : IconPreviewSize::previousPreset(m_size, toEnd));
}

void IconPreviewSizeStepper::setSize(qint64 size)
{
    if (size != m_size)
        m_key.write(size);
}

void IconPreviewSizeStepper::sizeChanged()
{
    m_size = m_key.read();
    m_textFieldValue = IconPreviewSize::clamped(m_size);
    if (!isDragging())
        m_sizeWhenDragStarted = m_size;
    m_number->setText(IconPreviewSize::toText(m_size, locale()));
    if (isEditing())
        m_field->setText(IconPreviewSize::toText(m_textFieldValue, locale()));
}

void IconPreviewSizeStepper::beginEditing()
{
    m_field->setText(IconPreviewSize::toText(m_textFieldValue, locale()));
    m_value->setCurrentWidget(m_field);
    m_field->selectAll();
    m_field->setFocus(Qt::MouseFocusReason);
}

void IconPreviewSizeStepper::submitText()
{
    // Read as a whole on Return: text that is no integer keeps the last value, whatever partial
    // numbers were on the way to it.
    if (const auto typed = IconPreviewSize::fromText(m_field->text(), locale()))
        m_textFieldValue = *typed;
    const qint64 size = IconPreviewSize::clamped(m_textFieldValue);
    m_textFieldValue = size;
    setSize(size);
    m_value->setCurrentWidget(m_number);
}

void IconPreviewSizeStepper::rebuildMenu()
{
    m_menu->clear();
    for (IconSize preset : allIconSizes) {
        const qint64 value = rawValue(preset);
        QAction *action = m_menu->addAction(IconPreviewSize::toText(value, locale()));
        action->setCheckable(true);
        action->setChecked(value == m_size);
        connect(action, &QAction::triggered, this, [this, value] { setSize(value); });
    }
}

void IconPreviewSizeStepper::contextMenuEvent(QContextMenuEvent *event)
{
    endDrag();
    rebuildMenu();
    m_menu->popup(event->globalPos());
    event->accept();
}

bool IconPreviewSizeStepper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_number)
        return numberMouseEvent(event);
    return QWidget::eventFilter(watched, event);
}

bool IconPreviewSizeStepper::numberMouseEvent(QEvent *event)
{
    // Filters see events before the widget drops those a disabled widget must not act on.
    if (!isEnabled())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        endDrag();
        m_pressPosition = mouse->globalPosition();
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_pressPosition)
            return false;
        // A release that went elsewhere ends the drag as a release here would.
        if (!mouse->buttons().testFlag(Qt::LeftButton)) {
            endDrag();
            return true;
        }
        if (!isDragging() && QLineF(*m_pressPosition, mouse->globalPosition()).length() < dragDistance)
            return true;
        const bool stepping = mouse->modifiers().testFlag(Qt::AltModifier);
        const auto step
            = m_drag.move(*m_pressPosition, mouse->globalPosition(), m_size, m_sizeWhenDragStarted, stepping);
        if (step) {
            if (step->size)
                setSize(*step->size);
            setFeedbackTrigger(step->onPreset);
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !m_pressPosition)
            return false;
        const bool wasDragging = isDragging();
        endDrag();
        if (!wasDragging)
            beginEditing();
        return true;
    }
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::UngrabMouse:
        endDrag();
        return false;
    default:
        return false;
    }
}

void IconPreviewSizeStepper::endDrag()
{
    m_pressPosition.reset();
    if (!isDragging())
        return;
    m_drag.finish();
    m_sizeWhenDragStarted = m_size;
    setFeedbackTrigger(false);
}

void IconPreviewSizeStepper::setFeedbackTrigger(bool on)
{
    const bool arrived = on && !m_feedbackTrigger;
    m_feedbackTrigger = on;
    if (arrived)
        Q_EMIT levelFeedback();
}

void IconPreviewSizeStepper::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled())
            endDrag();
        updateColors();
        break;
    case QEvent::ActivationChange:
        if (!isActiveWindow())
            endDrag();
        break;
    case QEvent::PaletteChange:
        updateColors();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void IconPreviewSizeStepper::hideEvent(QHideEvent *event)
{
    endDrag();
    QWidget::hideEvent(event);
}

void IconPreviewSizeStepper::updateColors()
{
    QPalette numberPalette = palette();
    const QColor text = IconPreviewSizeStepperButtonStyle::foreground(palette(), !isEnabled());
    numberPalette.setColor(QPalette::Active, QPalette::WindowText, text);
    numberPalette.setColor(QPalette::Inactive, QPalette::WindowText, text);
    numberPalette.setColor(QPalette::Disabled, QPalette::WindowText, text);
    m_number->setPalette(numberPalette);
    update();
}

void IconPreviewSizeStepper::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(IconPreviewSizeStepperButtonStyle::separator(palette()), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
}
