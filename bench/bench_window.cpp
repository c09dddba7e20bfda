// SPDX-License-Identifier: GPL-3.0-or-later
// The whole window as a user drives it: one program per process (runGlimbar() under the offscreen
// platform, 1920×1080), driven by real clicks and key presses through QTest once its sidebar first
// shows rows, each action timed from just before the click or key to the end of the first frame
// after it that repaints the collection view (the window's update request, which paints what
// changed and flushes it). Scenarios:
//
// - shift: one collection of 10,000 icons at 32 points: a click on the first icon, then, scrolled
//   to the end, a Shift-click on the last one (target ≤ 50 ms; all 10,000 must end up selected).
// - search: 5,000 collections of 20 icons, all selected (a click on the first row, then
//   Control+A): each keystroke of a search typed into the toolbar's field (target ≤ 16 ms for the
//   slowest keystroke).
// - scroll: one collection of 400 large ICNS icons (16 to 1024 px) at 512 points, scrolled a page
//   at a time (Page Down on the scroll bar) from top to bottom, each page's pictures waited for:
//   the GUI thread's CPU time of the worst frame (target ≤ 16 ms).
//
// Every figure is the median over fresh processes (--samples, 5 by default) of each process's
// figure; the machine's load average is printed before and after. Each library is generated once
// into a temporary home folder (QStandardPaths' test mode below HOME); its files stay cached.
//
// Usage: bench_window [--samples N] [shift] [search] [scroll]

#include "benchprocess.h"
#include "benchtable.h"
#include "support/generatedlibrary.h"

#include "app/application.h"
#include "collections/iconcollectiongrid.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "mainwindow/contentview.h"
#include "mainwindow/mainsplitview.h"
#include "mainwindow/sidebarview.h"
#include "platform/settings/settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using namespace BenchProcess;

constexpr int defaultSamples = 5;
// A view is settled once no frame has come for this long: the pictures it asked for are in.
constexpr qint64 settleNanos = 400'000'000;
constexpr qint64 timeoutNanos = qint64(120) * 1'000'000'000;
const QString typedSearch = u"icon 19"_s;

struct Scenario
{
    const char *name;
    GeneratedLibrary::Shape shape;
    int points;
};

const Scenario scenarios[] = {
    { "shift", { 1, 10000, true }, 32 },
    { "search", { 5000, 20, true }, 32 },
    { "scroll", { 1, 400, false }, 512 },
};

qint64 clockNanos(clockid_t clock)
{
    timespec now {};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

[[noreturn]] void fail(const char *why)
{
    std::printf("FAILED %s\n", why);
    std::fflush(stdout);
    ::_exit(1);
}

// Drives the program once its sidebar first shows rows, and times its frames: it handles the
// window's update requests itself, so that it sees where each one ends.
class WindowDriver : public QObject
{
public:
    explicit WindowDriver(const Scenario &scenario)
        : m_scenario(scenario)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (m_grid && widget == m_grid->viewport())
                m_gridPainted = true;
            if (!m_started) {
                auto *list = qobject_cast<QListView *>(widget->parentWidget());
                if (list && list->viewport() == widget && qobject_cast<SidebarView *>(list->parentWidget())
                    && list->model()->rowCount() > 0) {
                    m_started = true;
                    m_list = list;
                    m_window = qobject_cast<ContentView *>(list->window());
                    QTimer::singleShot(0, this, &WindowDriver::run);
                }
            }
            return false;
        }
        if (event->type() == QEvent::UpdateRequest && m_window && watched == m_window && !m_inFrame) {
            m_inFrame = true;
            m_gridPainted = false;
            const qint64 cpu = clockNanos(CLOCK_THREAD_CPUTIME_ID);
            static_cast<QObject *>(m_window)->event(event);
            const qint64 end = monotonicNanos();
            m_inFrame = false;
            m_lastFrameEnd = end;
            m_frameCpu.append(clockNanos(CLOCK_THREAD_CPUTIME_ID) - cpu);
            if (m_gridPainted && m_gridFrameEnd == 0)
                m_gridFrameEnd = end;
            return true;
        }
        return false;
    }

private:
    void run()
    {
        if (!m_window)
            fail("no main window");
        m_window->resize(1920, 1080);
        clickRow(0);
        if (qstrcmp(m_scenario.name, "search") == 0)
            QTest::keyClick(m_list, Qt::Key_A, Qt::ControlModifier);
        const int sections = qstrcmp(m_scenario.name, "search") == 0 ? m_scenario.shape.containers : 1;
        if (!QTest::qWaitFor(
                [&] {
                    m_grid = m_window->findChild<IconCollectionGrid *>();
                    return m_grid && m_grid->isVisible() && m_grid->sections().size() == sections;
                },
                int(timeoutNanos / 1'000'000)))
            fail("the grid did not show the collections");
        settle();
        if (qstrcmp(m_scenario.name, "shift") == 0)
            shiftSelect();
        else if (qstrcmp(m_scenario.name, "search") == 0)
            typeSearch();
        else
            scrollPages();
    }

    void clickRow(int row)
    {
        const QModelIndex index = m_list->model()->index(row, 0);
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, m_list->visualRect(index).center());
    }

    // Waits until no frame has come for a while.
    void settle()
    {
        m_lastFrameEnd = monotonicNanos();
        const bool settled = QTest::qWaitFor(
            [&] { return monotonicNanos() - m_lastFrameEnd >= settleNanos; }, int(timeoutNanos / 1'000'000));
        if (!settled)
            fail("the window never settled");
    }

    // Runs `action` and returns the time until the end of the first frame after it that painted the
    // grid; -1 when none came.
    qint64 timed(const std::function<void()> &action)
    {
        m_gridFrameEnd = 0;
        const qint64 start = monotonicNanos();
        action();
        if (!QTest::qWaitFor([&] { return m_gridFrameEnd != 0; }, int(timeoutNanos / 1'000'000)))
            return -1;
        return m_gridFrameEnd - start;
    }

    const Icon &iconAt(qsizetype section, qsizetype position) const
    {
        const IconSection &shown = m_grid->sections().at(section);
        return m_window->library().containers().at(shown.containerIndex).icons.at(shown.iconIndexes.at(position));
    }

    void clickIcon(const Icon &icon, Qt::KeyboardModifiers keys)
    {
        const QRect rect = m_grid->visualRect(icon.id);
        if (!rect.isValid())
            fail("the icon is not shown");
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, keys, rect.center());
    }

    void shiftSelect()
    {
        const qsizetype count = m_grid->sections().first().iconIndexes.size();
        clickIcon(iconAt(0, 0), {});
        settle();
        QTest::keyClick(m_grid->verticalScrollBar(), Qt::Key_End);
        settle();
        const Icon &last = iconAt(0, count - 1);
        const qint64 nanos = timed([&] { clickIcon(last, Qt::ShiftModifier); });
        const IconSelection &selection = m_window->splitView()->iconSelection().selection();
        if (qsizetype(selection.size()) != count)
            fail("the Shift-click did not select every icon");
        finish({ nanos });
    }

    void typeSearch()
    {
        QTest::mouseClick(m_window->searchField(), Qt::LeftButton);
        QList<qint64> figures;
        for (const QChar character : typedSearch) {
            figures.append(timed([&] { QTest::keyClicks(m_window->searchField(), QString(character)); }));
            settle();
        }
        if (m_window->searchField()->text() != typedSearch)
            fail("the search field did not take the keys");
        finish(figures);
    }

    void scrollPages()
    {
        QScrollBar *bar = m_grid->verticalScrollBar();
        m_frameCpu.clear();
        int pages = 0;
        while (bar->value() < bar->maximum() && pages < 1000) {
            QTest::keyClick(bar, Qt::Key_PageDown);
            settle();
            ++pages;
        }
        if (pages == 0)
            fail("nothing to scroll");
        finish({ *std::max_element(m_frameCpu.cbegin(), m_frameCpu.cend()), pages });
    }

    const Scenario &m_scenario;
    bool m_started = false;
    QPointer<QListView> m_list;
    QPointer<ContentView> m_window;
    QPointer<IconCollectionGrid> m_grid;
    bool m_inFrame = false;
    bool m_gridPainted = false;
    qint64 m_lastFrameEnd = 0;
    qint64 m_gridFrameEnd = 0;
    QList<qint64> m_frameCpu;
};

const Scenario *g_scenario = nullptr;

void installDriver()
{
    // Lives as long as the process, which ends through finish().
    QCoreApplication::instance()->installEventFilter(new WindowDriver(*g_scenario));
}

int runChild(char *program, const Scenario &scenario)
{
    QStandardPaths::setTestModeEnabled(true);
    {
        // Written to the file when the store goes, before the program reads it.
        SettingsStore store;
        const Settings settings(store);
        settings.iconViewMode().write(IconViewMode::grid);
        settings.iconPreviewSize().write(scenario.points);
    }
    g_scenario = &scenario;
    qAddPreRoutine(installDriver);
    char *arguments[] = { program, nullptr };
    runGlimbar(1, arguments);
    return 1;
}

std::optional<QList<qint64>> spawn(const QString &scenario, const QString &home, const QString &runtime)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, home);
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationFilePath(), { u"child"_s, scenario });
    if (!process.waitForFinished(int(timeoutNanos / 1'000'000) * 4) || process.exitCode() != 0) {
        std::fputs(process.readAllStandardOutput().constData(), stdout);
        return std::nullopt;
    }
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        if (!line.startsWith("RESULT "))
            continue;
        QList<qint64> figures;
        for (const QByteArray &field : line.mid(7).split(' '))
            figures.append(field.toLongLong());
        return figures;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    const auto find = [](const char *name) -> const Scenario * {
        for (const Scenario &scenario : scenarios) {
            if (qstrcmp(name, scenario.name) == 0)
                return &scenario;
        }
        return nullptr;
    };
    if (argc == 3 && qstrcmp(argv[1], "child") == 0 && find(argv[2]))
        return runChild(argv[0], *find(argv[2]));

    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc == 4 && qstrcmp(argv[1], "generate") == 0 && find(argv[2]))
        return GeneratedLibrary::write(QString::fromLocal8Bit(argv[3]), find(argv[2])->shape) ? 0 : 1;

    int samples = defaultSamples;
    QList<const Scenario *> chosen;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == "--samples"_L1 && i + 1 < arguments.size()) {
            samples = std::max(1, arguments.at(++i).toInt());
        } else if (const Scenario *scenario = find(arguments.at(i).toLocal8Bit().constData())) {
            chosen.append(scenario);
        } else {
            std::printf("usage: bench_window [--samples N] [shift] [search] [scroll]\n");
            return 2;
        }
    }
    if (chosen.isEmpty()) {
        for (const Scenario &scenario : scenarios)
            chosen.append(&scenario);
    }

    QTemporaryDir runtime;
    if (!runtime.isValid())
        return 1;
    BenchTable table;
    for (const Scenario *scenario : std::as_const(chosen)) {
        const QString name = QString::fromLatin1(scenario->name);
        QTemporaryDir home;
        const QString library = home.path() + u"/.qttest/share/Glimbar/Library"_s;
        if (!home.isValid()
            || QProcess::execute(QCoreApplication::applicationFilePath(), { u"generate"_s, name, library }) != 0) {
            std::printf("%s: could not generate the library\n", scenario->name);
            return 1;
        }
        std::printf("%s: %d × %d icons at %d pt, %d fresh processes; load average %s\n", scenario->name,
            scenario->shape.containers, scenario->shape.iconsPerContainer, scenario->points, samples,
            loadAverage().constData());
        std::fflush(stdout);
        QList<double> firsts, seconds;
        for (int sample = 0; sample < samples; ++sample) {
            const std::optional<QList<qint64>> figures = spawn(name, home.path(), runtime.path());
            if (!figures || figures->isEmpty() || *std::min_element(figures->cbegin(), figures->cend()) < 0) {
                std::printf("%s: a sample failed\n", scenario->name);
                return 1;
            }
            if (qstrcmp(scenario->name, "search") == 0) {
                firsts.append(*std::max_element(figures->cbegin(), figures->cend()) / 1e6);
                QList<double> keys;
                for (const qint64 figure : *figures)
                    keys.append(figure / 1e6);
                seconds.append(median(keys));
            } else {
                firsts.append(figures->first() / 1e6);
                if (figures->size() > 1)
                    seconds.append(double(figures->at(1)));
            }
        }
        std::printf("%s: measured; load average %s\n", scenario->name, loadAverage().constData());
        std::fflush(stdout);
        if (qstrcmp(scenario->name, "shift") == 0) {
            table.add(u"click the first of 10,000 icons, Shift-click the last, until repainted"_s, median(firsts),
                u"ms"_s, 50);
        } else if (qstrcmp(scenario->name, "search") == 0) {
            table.add(
                u"search keystroke over 5,000 × 20 icons, slowest, until repainted"_s, median(firsts), u"ms"_s, 16);
            table.add(u"search keystroke over 5,000 × 20 icons, median"_s, median(seconds), u"ms"_s);
        } else {
            table.add(u"grid at 512 pt, page-by-page scroll, GUI-thread CPU of the worst frame"_s, median(firsts),
                u"ms"_s, 16);
            table.add(u"grid at 512 pt, pages scrolled"_s, median(seconds), QString(), std::nullopt, 0);
        }
    }
    return table.print();
}
