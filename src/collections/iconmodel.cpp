// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconmodel.h"

#include "collections/creditline.h"
#include "collections/iconcellpainter.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/thumbnailprovider.h"
#include "model/iconsearchkey.h"

#include <algorithm>

IconModel::IconModel(ContainerManager &manager, IconSelectionManager &selectionManager, ThumbnailProvider &provider,
    QSet<QUuid> containerSelection, QString searchText, QObject *parent)
    : QAbstractListModel(parent)
    , m_manager(manager)
    , m_selectionManager(selectionManager)
    , m_provider(provider)
    , m_containerSelection(std::move(containerSelection))
    , m_searchText(std::move(searchText))
    , m_foldedSearchText(IconSearchKey::folded(m_searchText))
{
    connect(&m_manager, &ContainerManager::containersChanged, this, &IconModel::rebuild);
    connect(&m_selectionManager, &IconSelectionManager::selectionChanged, this, &IconModel::selectionChanged);
    connect(&m_provider, &ThumbnailProvider::ready, this, [this](const QObject *requester, QUuid id) {
        if (requester != this)
            return;
        if (const int row = rowOf(id); row >= 0)
            Q_EMIT dataChanged(index(row), index(row), { PictureRole });
    });
    rebuild();
}

IconModel::~IconModel()
{
    m_provider.cancel(this);
}

void IconModel::setContainerSelection(QSet<QUuid> selection)
{
    m_containerSelection = std::move(selection);
    rebuild();
}

void IconModel::setSearchText(QString text)
{
    m_searchText = std::move(text);
    m_foldedSearchText = IconSearchKey::folded(m_searchText);
    rebuild();
}

void IconModel::setPictureSize(double points, qreal devicePixelRatio)
{
    if (points == m_pictureSize && devicePixelRatio == m_devicePixelRatio)
        return;
    m_pictureSize = points;
    m_devicePixelRatio = devicePixelRatio;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), { HasPictureRole, PictureRole });
}

void IconModel::setVisibleRows(int first, int last)
{
    QList<QUuid> ids;
    for (int row = std::max(0, first); row <= last && row < m_rows.size(); ++row) {
        if (const Icon *icon = iconAt(row))
            ids.append(icon->id);
    }
    // The rows about a screen either way keep their pictures too.
    QList<QUuid> nearby;
    const int rows = last - first + 1;
    for (int row = std::max(0, first - rows); first >= 0 && row <= last + rows && row < m_rows.size(); ++row) {
        const Icon *icon = row < first || row > last ? iconAt(row) : nullptr;
        if (icon)
            nearby.append(icon->id);
    }
    m_provider.setVisible(this, ids, nearby);
}

void IconModel::rebuild()
{
    beginResetModel();
    m_sections = iconSections(m_manager, m_containerSelection, m_foldedSearchText);
    m_rows.clear();
    m_sectionRows.clear();
    m_rowOfIcon.clear();
    m_creditText.clear();
    const bool headers = separated();
    for (const IconSection &section : std::as_const(m_sections)) {
        m_sectionRows.append(int(m_rows.size()));
        if (headers)
            m_rows.append({ section.containerIndex, -1 });
        for (const qsizetype index : section.iconIndexes)
            m_rows.append({ section.containerIndex, index });
    }
    m_creditText.resize(m_sections.size());
    endResetModel();
}

void IconModel::selectionChanged()
{
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), { SelectedRole });
}

int IconModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QString IconModel::creditText(qsizetype section) const
{
    if (section < 0 || section >= m_sections.size() || !separated())
        return {};
    std::optional<QString> &text = m_creditText[section];
    if (!text)
        text = creditLine(m_manager.containers().at(m_sections.at(section).containerIndex));
    return *text;
}

bool IconModel::isHeader(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows.at(row).iconIndex < 0;
}

const Icon *IconModel::iconAt(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).iconIndex < 0)
        return nullptr;
    const Row &r = m_rows.at(row);
    const QList<IconContainer> &containers = m_manager.containers();
    if (r.containerIndex >= containers.size() || r.iconIndex >= containers.at(r.containerIndex).icons.size())
        return nullptr;
    return &containers.at(r.containerIndex).icons.at(r.iconIndex);
}

int IconModel::rowOf(const QUuid &iconID) const
{
    if (m_rowOfIcon.isEmpty()) {
        // An identifier shown twice names its last row.
        for (int row = 0; row < m_rows.size(); ++row) {
            if (const Icon *icon = iconAt(row))
                m_rowOfIcon.insert(icon->id, row);
        }
    }
    return m_rowOfIcon.value(iconID, -1);
}

int IconModel::rowOf(qsizetype section, qsizetype position) const
{
    if (section < 0 || section >= m_sections.size() || position < 0
        || position >= m_sections.at(section).iconIndexes.size())
        return -1;
    return m_sectionRows.at(section) + (separated() ? 1 : 0) + int(position);
}

QVariant IconModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case IsHeaderRole:
        return row.iconIndex < 0;
    case ContainerIndexRole:
        return qlonglong(row.containerIndex);
    case IconIndexRole:
        return qlonglong(row.iconIndex);
    default:
        break;
    }
    if (row.iconIndex < 0) {
        if (role == Qt::DisplayRole || role == NameRole || role == CreditRole) {
            const auto section = std::upper_bound(m_sectionRows.cbegin(), m_sectionRows.cend(), index.row());
            return creditText(section - m_sectionRows.cbegin() - 1);
        }
        return {};
    }
    const Icon *icon = iconAt(index.row());
    if (!icon)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return icon->name;
    case IconIdRole:
        return icon->id;
    case SelectedRole:
        return m_selectionManager.selection().contains(icon->id);
    case HasPictureRole:
        return IconCellPainter::previewRep(*icon, m_pictureSize) != nullptr;
    case PictureRole: {
        const IconPreviewRep *rep = IconCellPainter::previewRep(*icon, m_pictureSize);
        if (!rep)
            return QImage();
        // The ask is the model's own, so that ready() turns into dataChanged() for its row.
        return m_provider.request(this, icon->id, rep->image, m_pictureSize, m_devicePixelRatio);
    }
    default:
        return {};
    }
}

Qt::ItemFlags IconModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isHeader(index.row()))
        return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QHash<int, QByteArray> IconModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(IconIdRole, "iconId");
    names.insert(IsHeaderRole, "isHeader");
    names.insert(ContainerIndexRole, "containerIndex");
    names.insert(IconIndexRole, "iconIndex");
    names.insert(NameRole, "name");
    names.insert(CreditRole, "credit");
    names.insert(SelectedRole, "selected");
    names.insert(HasPictureRole, "hasPicture");
    names.insert(PictureRole, "picture");
    return names;
}
