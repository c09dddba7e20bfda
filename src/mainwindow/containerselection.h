// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSet>
#include <QUuid>

// The container selection of one main window: the identifiers of the selected containers, shared
// by its sidebar, which edits it, and its detail column. changed() follows every write, also when
// the set stays the same. Identifiers that no longer name a container are kept until replaced.
class ContainerSelection : public QObject
{
    Q_OBJECT

public:
    explicit ContainerSelection(QObject *parent = nullptr);

    const QSet<QUuid> &ids() const { return m_ids; }
    void setIds(QSet<QUuid> ids);

Q_SIGNALS:
    void changed();

private:
    QSet<QUuid> m_ids;
};
