// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/iconsections.h"
#include "model/icon.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

class ContainerManager;
class IconSelectionManager;
class ThumbnailProvider;

// The icons of the selected containers that the search shows, as the grid, the gallery's strip and
// the list see them: per section (a selected container, in library order) a header row while two
// or more containers are shown, then one row per icon. Header rows can be neither selected nor
// dragged. It follows the library and the icon selection by itself; the view hands in the
// container selection and the search text.
//
// Roles: Qt::DisplayRole and NameRole (the icon's name; a header's credit line), CreditRole (a
// header's credit line as inline rich text), IconIdRole, IsHeaderRole, ContainerIndexRole,
// IconIndexRole (the icon's position in its container's whole icons array), SelectedRole (in the
// icon selection), HasPictureRole (a representation exists at the picture size) and PictureRole
// (the thumbnail at the picture size; null while it is decoded, and dataChanged() follows).
class IconModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        IconIdRole = Qt::UserRole + 1,
        IsHeaderRole,
        ContainerIndexRole,
        IconIndexRole,
        NameRole,
        CreditRole,
        SelectedRole,
        HasPictureRole,
        PictureRole,
    };

    IconModel(ContainerManager &manager, IconSelectionManager &selectionManager, ThumbnailProvider &provider,
        QSet<QUuid> containerSelection = {}, QString searchText = {}, QObject *parent = nullptr);
    ~IconModel() override;

    const QSet<QUuid> &containerSelection() const { return m_containerSelection; }
    // Both reset the model.
    void setContainerSelection(QSet<QUuid> selection);
    const QString &searchText() const { return m_searchText; }
    void setSearchText(QString text);

    // The square PictureRole fills, in points, and the screen's pixel ratio.
    void setPictureSize(double points, qreal devicePixelRatio);
    // The rows a view shows now: the provider decodes their pictures first and drops the rest.
    void setVisibleRows(int first, int last);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QHash<int, QByteArray> roleNames() const override;

    const QList<IconSection> &sections() const { return m_sections; }
    // True while two or more containers are selected: sections then have headers.
    bool separated() const { return m_containerSelection.size() >= 2; }
    // A header's credit line.
    QString creditText(qsizetype section) const;

    bool isHeader(int row) const;
    // The icon of a row; none for a header or a row outside the model.
    const Icon *iconAt(int row) const;
    // The row of an icon; -1 when it is not shown.
    int rowOf(const QUuid &iconID) const;
    // The row of a section's icon at `position` among those it shows.
    int rowOf(qsizetype section, qsizetype position) const;

private:
    struct Row
    {
        qsizetype containerIndex = 0;
        qsizetype iconIndex = -1; // -1 for a header
    };

    void rebuild();
    void selectionChanged();

    ContainerManager &m_manager;
    IconSelectionManager &m_selectionManager;
    ThumbnailProvider &m_provider;
    QSet<QUuid> m_containerSelection;
    QString m_searchText;
    // Folded once per change of the text, not per icon.
    QString m_foldedSearchText;
    QList<IconSection> m_sections;
    QList<Row> m_rows;
    QList<int> m_sectionRows; // the first row of each section
    // Both worked out when first asked for, once per reset: the grid never needs the first, and the
    // markdown reader behind the second is too slow to run for every section or on every paint.
    mutable QHash<QUuid, int> m_rowOfIcon;
    mutable QList<std::optional<QString>> m_creditText;
    double m_pictureSize = 32;
    qreal m_devicePixelRatio = 1;
};
