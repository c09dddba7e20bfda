// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/contentview.h"
#include "widgets/windowplacement.h"

#include "library/containermanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "library/utilities.h"
#include "mainwindow/commandmanager.h"
#include "mainwindow/containerimporter.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/detailcolumn.h"
#include "mainwindow/detailstatusbar.h"
#include "mainwindow/downloadpresenter.h"
#include "mainwindow/downloadsheet.h"
#include "mainwindow/errorobserver.h"
#include "mainwindow/exportoptionssheet.h"
#include "mainwindow/iconexporter.h"
#include "mainwindow/mainsplitview.h"
#include "mainwindow/quickdropview.h"
#include "mainwindow/sidebarview.h"
#include "mainwindow/windowactions.h"
#include "mainwindow/windowtitle.h"
#include "platform/desktop/launchargument.h"
#include "platform/text/printabletext.h"
#include "platform/text/standardoutput.h"
#include "widgets/symbol.h"
#include "widgets/windowextensions.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

ContentView::ContentView(CommandManager &commandManager, ContainerManager &library, ThumbnailProvider &thumbnails,
    std::shared_ptr<FileIconSetter> iconSetter, Settings &settings, QWidget *parent)
    : QMainWindow(parent)
    , m_commandManager(commandManager)
    , m_library(library)
    , m_settings(settings)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Glimbar"_s);

    m_split = new MainSplitView(library, thumbnails, iconSetter, settings, this);
    m_sidebar = m_split->sidebar();
    setCentralWidget(m_split);
    m_actions = new WindowActions(settings, this);
    QMenu *more = m_split->sidebar()->moreMenu();
    more->addMenu(tr("Import"))->addActions(m_actions->importActions());
    more->addMenu(tr("Export"))->addActions(m_actions->exportActions());
    connect(m_actions->toggleSidebar(), &QAction::triggered, this, [this] { setSidebarVisible(!isSidebarVisible()); });
    connect(this, &ContentView::sidebarVisibleChanged, m_actions, &WindowActions::showSidebarState);
    restoreWindowState();
    // Quitting leaves the windows open; each says how it stood.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ContentView::saveWindowState);
    buildToolbar();
    connect(m_split, &MainSplitView::exporterDisabled, this, &ContentView::followContainerSelection);
    // The commands go out on the channels, naming this window, as the menu bar's always have.
    connect(m_actions, &WindowActions::importRequested, this,
        [this](ImportFormat format) { Q_EMIT m_commandManager.presentImporter(format, this); });
    connect(m_actions, &WindowActions::exportRequested, this,
        [this](ExportFormat format) { Q_EMIT m_commandManager.presentExporter(format, this); });
    // Only this window's selection decides, so two windows never steer each other's export items.
    connect(
        &m_commandManager, &CommandManager::exporterDisabled, m_actions, [this](bool disabled, const QObject *window) {
            if (window == this)
                m_actions->setExporterDisabled(disabled);
        });
    connect(&library, &ContainerManager::containersChanged, this, &ContentView::updateTitle);
    DetailStatusBar *statusBar = m_split->detail()->statusBar();
    statusBar->setBusy(library.busy());
    connect(&library, &ContainerManager::busyChanged, statusBar, &DetailStatusBar::setBusy);

    connect(&m_commandManager, &CommandManager::deselectAll, this, [this] {
        m_split->detail()->deselectAll();
        setContainerSelection({});
    });
    connect(&m_commandManager, &CommandManager::presentImporter, this, [this](ImportFormat, const QObject *window) {
        if (window == this)
            presentContainerImporter();
    });
    connect(
        &m_commandManager, &CommandManager::presentExporter, this, [this](ExportFormat format, const QObject *window) {
            if (window == this)
                presentExporter(format);
        });

    m_containerImporter = new ContainerImporter(library, this, this);
    m_iconExporter = new IconExporter(std::move(iconSetter), settings, this, this);
    connect(m_iconExporter, &IconExporter::iconFilesChanged, &library, &ContainerManager::loadLibrary);
    m_downloadPresenter = new DownloadPresenter(library, thumbnails, this, this);
    connect(m_downloadPresenter, &DownloadPresenter::sheetOpened, this, &ContentView::containerDownloaded);
    new ErrorObserver(library, this);

    // Key events go to the focused child, so the window watches them on their way there.
    qApp->installEventFilter(this);
}

ContentView::~ContentView() = default;

const QSet<QUuid> &ContentView::containerSelection() const
{
    return m_split->selection().ids();
}

void ContentView::setContainerSelection(QSet<QUuid> selection)
{
    m_split->selection().setIds(std::move(selection));
}

IconSelectionManager &ContentView::iconSelectionManager()
{
    return m_split->iconSelection();
}

// The split view has pruned the icon selection by now.
void ContentView::followContainerSelection(bool exporterDisabled)
{
    updateTitle();
    Q_EMIT containerSelectionChanged();
    Q_EMIT m_commandManager.exporterDisabled(exporterDisabled, this);
}

void ContentView::updateTitle()
{
    setVerbatimWindowTitle(this, WindowTitle::forSelection(containerSelection(), m_library.containers()).line());
}

void ContentView::buildToolbar()
{
    auto *toolbar = addToolBar(tr("View"));
    toolbar->setObjectName(u"viewToolbar"_s);
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->addActions(m_actions->viewModes()->actions());

    auto *spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    m_searchField = new QLineEdit(toolbar);
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setAccessibleName(tr("Search"));
    m_searchField->setPlaceholderText(tr("Search"));
    // Escape empties the field, as a desktop's search fields do.
    auto *clearSearch = new QAction(m_searchField);
    clearSearch->setShortcut(Qt::Key_Escape);
    clearSearch->setShortcutContext(Qt::WidgetShortcut);
    connect(clearSearch, &QAction::triggered, m_searchField, &QLineEdit::clear);
    m_searchField->addAction(clearSearch);
    m_searchField->setMaximumWidth(240);
    toolbar->addWidget(m_searchField);
    connect(m_searchField, &QLineEdit::textChanged, this,
        [this](const QString &text) { m_split->detail()->setSearchText(text); });
}

void ContentView::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Each time the window's content is shown, not when it comes back from being minimised.
    if (!event->spontaneous())
        m_library.loadLibrary();
}

void ContentView::closeEvent(QCloseEvent *event)
{
    saveWindowState();
    QMainWindow::closeEvent(event);
}

void ContentView::restoreWindowState()
{
    // The frame as it was, whole on its screen's available area at any scale; Qt's own restore
    // mixes frame and window geometry before the first show, and the window crept down each run.
    WindowPlacement::restore(this, m_settings.mainWindowGeometry().read(), QSize(960, 640));
    if (const qint64 sidebar = m_settings.sidebarWidth().read(); sidebar > 0 && sidebar < 100000)
        m_split->setSizes({ int(sidebar), std::max(width() - int(sidebar), 1) });
}

void ContentView::saveWindowState() const
{
    m_settings.mainWindowGeometry().write(saveGeometry());
    if (isSidebarVisible() && !m_split->sizes().isEmpty() && m_split->sizes().constFirst() > 0)
        m_settings.sidebarWidth().write(m_split->sizes().constFirst());
}

bool ContentView::isSidebarVisible() const
{
    return !m_sidebar->isHidden();
}

void ContentView::setMotionPolicy(const MotionPolicy &policy)
{
    m_split->sidebar()->quickDropView()->setMotionPolicy(policy);
    m_split->detail()->setMotionPolicy(policy);
}

void ContentView::setSidebarVisible(bool visible)
{
    if (visible == isSidebarVisible())
        return;
    m_sidebar->setVisible(visible);
    Q_EMIT sidebarVisibleChanged(visible);
}

void ContentView::openArgument(const QString &argument)
{
    // Arguments from another process are checked again here: the sender may not be this program.
    const LaunchArgument classified = LaunchArgument::classify(argument, QDir::rootPath());
    switch (classified.kind) {
    case LaunchArgument::Kind::link:
        openLink(classified.value);
        break;
    case LaunchArgument::Kind::file:
        importArchives({ classified.value });
        break;
    case LaunchArgument::Kind::invalid:
        printLine(classified.value);
        break;
    }
}

void ContentView::openLink(const QString &link)
{
    m_downloadPresenter->openLink(link);
}

const std::optional<IconContainer> &ContentView::containerToDownload() const
{
    return m_downloadPresenter->containerToDownload();
}

void ContentView::importArchives(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    m_containerImporter->importUrls(urls);
}

void ContentView::presentContainerImporter()
{
    m_containerImporter->presentImporter();
}

void ContentView::presentExporter(ExportFormat format)
{
    if (m_exporter) {
        m_exporter->raise();
        m_exporter->activateWindow();
        return;
    }
    switch (format) {
    case ExportFormat::ravivovode:
        if (ExportOptionsSheet *sheet = ExportOptionsSheet::openForSelection(m_library, this, containerSelection())) {
            connect(sheet, &ExportOptionsSheet::iconFilesChanged, &m_library, &ContainerManager::loadLibrary);
            m_exporter = sheet;
        }
        break;
    case ExportFormat::icons:
        m_iconExporter->exportIcons(
            IconExporter::exportItems(m_library, iconSelectionManager().selection(), containerSelection()));
        break;
    }
}

void ContentView::updateModifiers(Qt::KeyboardModifiers modifiers)
{
    const bool alternate = modifiers.testFlag(Qt::AltModifier);
    if (alternate != m_settings.alternateDragAndDropFormat().read())
        m_settings.alternateDragAndDropFormat().write(alternate);
}

bool ContentView::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this) {
            const auto *key = static_cast<QKeyEvent *>(event);
            Qt::KeyboardModifiers modifiers = key->modifiers();
            // The event of a modifier key itself may or may not carry that modifier yet.
            if (key->key() == Qt::Key_Alt)
                modifiers.setFlag(Qt::AltModifier, type == QEvent::KeyPress);
            updateModifiers(modifiers);
        }
    } else if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove) {
        // A drag begins with a press and a move: what it offers follows the keys held then.
        auto *widget = qobject_cast<QWidget *>(watched);
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (widget && widget->window() == this
            && (type == QEvent::MouseButtonPress || mouse->buttons() != Qt::NoButton))
            updateModifiers(mouse->modifiers());
    }
    return QMainWindow::eventFilter(watched, event);
}

void ContentView::changeEvent(QEvent *event)
{
    // Keys pressed or released while another window had the focus were never seen here.
    if (event->type() == QEvent::ActivationChange)
        updateModifiers(isActiveWindow() ? QGuiApplication::queryKeyboardModifiers() : Qt::NoModifier);
    QMainWindow::changeEvent(event);
}
