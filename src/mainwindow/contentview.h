// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/iconselectionmanager.h"
#include "model/iconcontainer.h"
#include "model/optionenums.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QUuid>

#include <memory>
#include <optional>

class CommandManager;
class ContainerImporter;
class ContainerManager;
class DownloadPresenter;
class FileIconSetter;
class Settings;
class IconExporter;
class MainSplitView;
class MotionPolicy;
class QLineEdit;
class ThumbnailProvider;
class WindowActions;

// The main window itself (a QMainWindow), though its name speaks of the window's content.
// One main window. It owns its container and icon selections, acts on the command channels that
// name it (and on Deselect All from any window), and reports changes of the library's error on
// standard output. Each time it is shown it has
// the library loaded; its selections are carried over the reload. The Alt key, which swaps what
// a dragged icon offers, is read afresh when the window is activated and as a drag begins, and
// released when the window loses the focus, so a key let go elsewhere never stays held. It opens
// with the geometry and sidebar width of the main window closed (or open at quit) last.
//
// Guarantees: exporterDisabled is sent on every change of the container selection (not when the
// window first appears), after the icon selection has been pruned; a request to import or export
// while such a window is open raises it instead of opening a second one.
class ContentView : public QMainWindow
{
    Q_OBJECT

public:
    // Shows `library`, with pictures from `thumbnails`; icons are set on files through `iconSetter`.
    ContentView(CommandManager &commandManager, ContainerManager &library, ThumbnailProvider &thumbnails,
        std::shared_ptr<FileIconSetter> iconSetter, Settings &settings, QWidget *parent = nullptr);
    ~ContentView() override;

    CommandManager &commandManager() const { return m_commandManager; }
    ContainerManager &library() const { return m_library; }

    const QSet<QUuid> &containerSelection() const;
    void setContainerSelection(QSet<QUuid> selection);
    IconSelectionManager &iconSelectionManager();
    // The sidebar and the detail column, with the window's selections.
    MainSplitView *splitView() const { return m_split; }
    QLineEdit *searchField() const { return m_searchField; }
    // The window's commands, shared by its menu bar, toolbar and sidebar.
    WindowActions &actions() const { return *m_actions; }

    // How the window's changes move (nothing moves until one is handed in).
    void setMotionPolicy(const MotionPolicy &policy);

    bool isSidebarVisible() const;
    void setSidebarVisible(bool visible);

    // Acts on one argument the program was handed: a link of the program's own scheme starts its
    // download, anything else is imported as an older archive file. Outside data: a malformed one
    // ends on the library's error path or a printed line, never more.
    void openArgument(const QString &argument);
    void openLink(const QString &link);
    void importArchives(const QStringList &paths);

    // The window's roads; tests put fake dialogs into them.
    ContainerImporter &containerImporter() const { return *m_containerImporter; }
    IconExporter &iconExporter() const { return *m_iconExporter; }
    DownloadPresenter &downloadPresenter() const { return *m_downloadPresenter; }
    // The export options sheet while it is open.
    QDialog *exporter() const { return m_exporter; }
    // The last container a download delivered.
    const std::optional<IconContainer> &containerToDownload() const;

Q_SIGNALS:
    void containerSelectionChanged();
    void sidebarVisibleChanged(bool visible);
    void containerDownloaded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The size, place and sidebar width of the main window closed last, never larger than the
    // screen's available area.
    void restoreWindowState();
    void saveWindowState() const;
    void presentContainerImporter();
    void presentExporter(ExportFormat format);
    void updateModifiers(Qt::KeyboardModifiers modifiers);
    void buildToolbar();
    void updateTitle();
    void followContainerSelection(bool exporterDisabled);

    CommandManager &m_commandManager;
    ContainerManager &m_library;
    Settings &m_settings;
    MainSplitView *m_split = nullptr;
    WindowActions *m_actions = nullptr;
    QWidget *m_sidebar = nullptr;
    QLineEdit *m_searchField = nullptr;
    ContainerImporter *m_containerImporter = nullptr;
    IconExporter *m_iconExporter = nullptr;
    DownloadPresenter *m_downloadPresenter = nullptr;
    QPointer<QDialog> m_exporter;
};
