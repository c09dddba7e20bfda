// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class IconTileView;

// One child of IconTileAccessible: a tile or a grid header at a child index of the view, valid
// for as long as the view's tiles are not reset. A tile's actions are its clicks: press selects it
// alone, toggle adds or removes it, as a plain and a Control click do.
class IconTileAccessibleItem : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    IconTileAccessibleItem(IconTileView *view, int index);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    int index() const { return m_index; }
    IconTileView *view() const { return m_view; }

private:
    QPointer<IconTileView> m_view;
    int m_index;
    quint64 m_generation;
};
