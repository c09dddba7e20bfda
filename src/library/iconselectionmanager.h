// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icon.h"

#include <QHashFunctions>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUuid>

#include <tsl/ordered_set.h>

#include <optional>

// The ordered set hashes with std::hash by default, which Qt does not give QUuid.
struct IconIdHash
{
    size_t operator()(const QUuid &id) const noexcept { return qHash(id); }
};

// Selected icon identifiers: each at most once, in the order in which they were added. Use
// insert() to append and erase() to remove; erase() keeps the order of the others, while
// unordered_erase() would not.
using IconSelection = tsl::ordered_set<QUuid, IconIdHash>;

// The icon selection of one main window, shared by its sidebar and collection views.
// Guarantees: selectionChanged() follows every write, also when the selection stays the same,
// except select() without an identifier, which does nothing at all. Lives on the GUI thread.
class IconSelectionManager : public QObject
{
    Q_OBJECT

public:
    explicit IconSelectionManager(QObject *parent = nullptr);

    const IconSelection &selection() const { return m_selection; }
    void setSelection(IconSelection selection);
    // Appends `id` when it is absent; a present one keeps its place.
    void select(std::optional<QUuid> id);
    // Appends each absent identifier of `ids` in their order, as one change: a range selected by
    // one click is one change to everyone who follows the selection.
    void select(const QList<QUuid> &ids);
    // Removes `id` when present.
    void deselect(const QUuid &id);

Q_SIGNALS:
    void selectionChanged();

private:
    IconSelection m_selection;
};

class ContainerManager;

// The selected icons of `library`, in selection order. An identifier resolves through its lookup
// entry to the first container of that identifier in library order, then to the first icon of
// that identifier in the container (ContainerManager::resolveIcon()); one that does not resolve is
// skipped without a gap. Copies: changing them does not change the library. Costs time in
// proportion to the selection, whatever the library's size.
QList<Icon> selectedIcons(const ContainerManager &library, const IconSelection &selection);

// The last icon of selectedIcons(), or none: resolves from the end, so that it costs what the
// unresolved identifiers at the end cost, not the whole selection. Points into `library` until it
// changes.
const Icon *lastSelectedIcon(const ContainerManager &library, const IconSelection &selection);

// Deselects, in one pass and with one change, every selected icon of `library` whose container is
// not in `containerSelection`; the others keep their order. Identifiers that do not resolve stay
// selected. Nothing changes, and nothing is emitted, when every selected icon may stay.
void selectionPruneFilter(
    const ContainerManager &library, IconSelectionManager &manager, const QSet<QUuid> &containerSelection);
