// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QMenu;
class QToolButton;

// What a list actions bar is built from. Each optional part shows only when what it needs is
// given; the add and remove buttons need both their title and their action.
struct ListActionsOptions
{
    std::optional<QString> addButtonTitle;
    std::optional<QString> removeButtonTitle;
    std::function<void()> addAction;
    std::function<void()> removeAction;
    bool addButtonDisabled = false;
    bool removeButtonDisabled = false;
    // A 1-point separator border around the bar; without it, a divider along its top edge only.
    bool border = false;
    // The contents of the "More" menu (not owned; the bar's menu button shows it).
    QMenu *moreActionItems = nullptr;
    bool moreActionsDisabled = false;
    std::function<void()> inlineAction;
    std::optional<QString> inlineActionTitle;
    bool inlineActionDisabled = false;
};

// The pieces of a bar, left to right.
enum class ListActionsElement { addButton, removeButton, divider, moreMenu, inlineButton };

// Which pieces the bar shows for `options`, in order. The divider before the menu stands only when
// both actions are given, whatever their titles: with the add button alone its own divider
// already precedes the menu.
QList<ListActionsElement> listActionsComposition(const ListActionsOptions &options);

// A widget, not a list of QActions.
// A bar of list-editing controls under a list: add, remove, a "More" menu and a text button,
// separated by short dividers and laid out from the left of a bar that spans the width, at most
// 32 points high. Built once from its options; the creator builds a new one for new options.
class ListActions : public QWidget
{
    Q_OBJECT

public:
    explicit ListActions(ListActionsOptions options, QWidget *parent = nullptr);

    const ListActionsOptions &options() const { return m_options; }
    // The menu button, when the bar has one.
    QToolButton *moreButton() const { return m_moreButton; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void build();
    void updateMoreButtonIcon();

    ListActionsOptions m_options;
    QToolButton *m_moreButton = nullptr;
};
