// SPDX-License-Identifier: GPL-3.0-or-later
// A window to try the collection views by hand before the main window hosts them: the sample
// collection (and any older archives named on the command line) in a container list, the view
// picked by "iconViewMode", a search field, the preview size and the names switch. Nothing is
// written to the library.
//   build/dev/tools/collection_harness [ARCHIVE…]

#include "collections/iconcollectiongallery.h"
#include "collections/iconcollectiongrid.h"
#include "collections/iconcollectionlist.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "support/appservices.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QToolBar>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

class Harness : public QMainWindow
{
public:
    explicit Harness(AppServices &services)
        : m_manager(services.library)
        , m_services(services)
    {
        auto *splitter = new QSplitter(this);
        m_containers = new QListWidget(splitter);
        m_containers->setSelectionMode(QAbstractItemView::ExtendedSelection);
        for (const IconContainer &container : m_manager.containers()) {
            auto *item = new QListWidgetItem(container.title, m_containers);
            item->setData(Qt::UserRole, container.id);
        }
        splitter->addWidget(m_containers);
        setCentralWidget(splitter);
        m_splitter = splitter;

        auto *bar = addToolBar(u"View"_s);
        auto *mode = new QComboBox(bar);
        mode->addItems({ u"Grid"_s, u"List"_s, u"Gallery"_s });
        mode->setCurrentIndex(int(m_services.settings.iconViewMode().read()));
        bar->addWidget(mode);
        auto *size = new QSpinBox(bar);
        size->setRange(16, 512);
        size->setValue(int(m_services.settings.iconPreviewSize().read()));
        bar->addWidget(size);
        auto *names = new QCheckBox(u"Names"_s, bar);
        names->setChecked(m_services.settings.showIconNamesInGrid().read());
        bar->addWidget(names);
        m_search = new QLineEdit(bar);
        m_search->setPlaceholderText(u"Search"_s);
        bar->addWidget(m_search);
        auto *deselect = new QAction(u"Deselect All"_s, this);
        deselect->setShortcut(QKeySequence(u"Ctrl+D"_s));
        bar->addAction(deselect);

        connect(mode, &QComboBox::currentIndexChanged, this, [this](int index) {
            m_services.settings.iconViewMode().write(IconViewMode(index));
            rebuild();
        });
        connect(size, &QSpinBox::valueChanged, this,
            [this](int value) { m_services.settings.iconPreviewSize().write(value); });
        connect(names, &QCheckBox::toggled, this, [this](bool on) {
            m_services.settings.showIconNamesInGrid().write(on);
            m_services.settings.showIconNamesInGallery().write(on);
        });
        connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
            if (auto *grid = qobject_cast<IconCollectionGrid *>(m_view))
                grid->setSearchText(text);
            else if (auto *list = qobject_cast<IconCollectionList *>(m_view))
                list->setSearchText(text);
            else if (auto *gallery = qobject_cast<IconCollectionGallery *>(m_view))
                gallery->setSearchText(text);
        });
        connect(m_containers, &QListWidget::itemSelectionChanged, this, &Harness::containerSelectionChanged);
        connect(deselect, &QAction::triggered, this, [this] {
            if (auto *grid = qobject_cast<IconCollectionGrid *>(m_view))
                grid->deselectAll();
            m_containers->clearSelection();
        });
        rebuild();
        resize(1200, 800);
    }

private:
    QSet<QUuid> containerSelection() const
    {
        QSet<QUuid> ids;
        for (const QListWidgetItem *item : m_containers->selectedItems())
            ids.insert(item->data(Qt::UserRole).toUuid());
        return ids;
    }

    void containerSelectionChanged()
    {
        const QSet<QUuid> ids = containerSelection();
        // As the main window does: icons of containers no longer shown leave the selection.
        for (const Icon &icon : selectedIcons(m_manager, m_selection.selection())) {
            if (!ids.contains(icon.containerID))
                m_selection.deselect(icon.id);
        }
        if (auto *grid = qobject_cast<IconCollectionGrid *>(m_view))
            grid->setContainerSelection(ids);
        else if (auto *list = qobject_cast<IconCollectionList *>(m_view))
            list->setContainerSelection(ids);
        else if (auto *gallery = qobject_cast<IconCollectionGallery *>(m_view))
            gallery->setContainerSelection(ids);
    }

    void rebuild()
    {
        delete m_view;
        const QSet<QUuid> ids = containerSelection();
        switch (m_services.settings.iconViewMode().read()) {
        case IconViewMode::grid:
            m_view = new IconCollectionGrid(m_manager, m_services.thumbnails, m_services.iconSetter,
                m_services.settings, false, ids, m_selection, m_search->text());
            break;
        case IconViewMode::list:
            m_view = new IconCollectionList(m_manager, m_services.thumbnails, m_services.iconSetter,
                m_services.settings, false, ids, m_selection, m_search->text());
            break;
        case IconViewMode::gallery:
            m_view = new IconCollectionGallery(m_manager, m_services.thumbnails, m_services.iconSetter,
                m_services.settings, false, ids, m_selection, m_search->text());
            break;
        }
        m_splitter->addWidget(m_view);
        m_splitter->setStretchFactor(1, 1);
    }

    ContainerManager &m_manager;
    AppServices &m_services;
    IconSelectionManager m_selection;
    QSplitter *m_splitter = nullptr;
    QListWidget *m_containers = nullptr;
    QLineEdit *m_search = nullptr;
    QWidget *m_view = nullptr;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Glimbar"_s);
    QApplication::setOrganizationName(u"Glimbar"_s);
    // Settings changed here stay out of the user's own file.
    QStandardPaths::setTestModeEnabled(true);
    AppServices services;
    ContainerManager &manager = services.library;
    QStringList archives { QStringLiteral(GLIMBAR_SAMPLES_DIR) + u"/Starter Shapes.ravivovode"_s };
    for (int i = 1; i < argc; ++i)
        archives.append(QString::fromLocal8Bit(argv[i]));
    QList<IconContainer> containers;
    QSet<IconLookup> lookups;
    for (const QString &path : archives) {
        if (std::optional<IconContainer> container = manager.importLegacyContainer(path)) {
            for (const Icon &icon : container->icons)
                lookups.insert(IconLookup { icon.id, container->id });
            containers.append(*container);
        } else {
            std::printf("%s is no archive we can read\n", qPrintable(path));
        }
    }
    manager.setContainers(containers);
    manager.setIconLookupSet(lookups);
    Harness window(services);
    window.show();
    return QApplication::exec();
}
