// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QButtonGroup;
class QLabel;
class QRadioButton;

// A column of radio buttons, one per option, under an optional title of its own. The buttons'
// ids in group() are the options' positions, which is how bind() maps them to enum cases.
class RadioPicker : public QWidget
{
    Q_OBJECT

public:
    explicit RadioPicker(const QStringList &options, QWidget *parent = nullptr);
    RadioPicker(const QString &title, const QStringList &options, QWidget *parent = nullptr);

    QButtonGroup *group() const { return m_group; }
    QRadioButton *button(int position) const;
    // Null for a picker made without a title.
    QLabel *titleLabel() const { return m_title; }
    // For a form row whose own label already names the picker.
    void setTitleHidden(bool hidden);
    // The height of the first visible line (title or first button), so a row label can line up
    // with it.
    int firstLineHeight() const;

private:
    QButtonGroup *m_group = nullptr;
    QLabel *m_title = nullptr;
};

// The text of a size option: "Default (32 pt)".
QString sizeOptionText(const QString &title, qint64 points);
