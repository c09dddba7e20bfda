// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class Updater;

// The Updates tab, over the updater's own settings: automatic checks and downloads, the check
// interval, a check now, and when the last check ran. The controls show the updater's settings as
// they were when the tab was last shown and write each user change to the updater at once; showing
// the tab writes nothing. Everything the updater reports reaches the widgets on the GUI thread.
class UpdatesSettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit UpdatesSettingsView(Updater &updater, QWidget *parent = nullptr);

    QCheckBox *automaticChecksBox() const { return m_automaticChecks; }
    QCheckBox *automaticDownloadsBox() const { return m_automaticDownloads; }
    QComboBox *frequencyPicker() const { return m_frequency; }
    QPushButton *checkButton() const { return m_check; }
    // Hidden while the updater has no date of a last check.
    QLabel *lastCheckedLabel() const { return m_lastChecked; }

    // Reads the updater's settings into the controls again.
    void reload();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showLastChecked();

    Updater &m_updater;
    QCheckBox *m_automaticChecks;
    QCheckBox *m_automaticDownloads;
    QComboBox *m_frequency;
    QPushButton *m_check;
    QLabel *m_lastChecked;
};
