#include "app/views/shell/AppMenus.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "Velloway/MenuBaseline.h"
#include "app/model/AppModel.h"
#include "app/views/kit/LinkOpener.h"
#include "app/model/CommandState.h"
#include "app/model/SessionLibrary.h"
#include "app/model/TestRunner.h"

namespace Tessarine {

using RorozErurEvo::TestSession;

namespace {
const char* const printMissing = "Printing is not available in this version.";
} // namespace

AppMenus::AppMenus(AppModel& model, QMainWindow& window, Hooks hooks)
    : QObject(&window), model_(model), window_(window), hooks_(std::move(hooks)) {
    QMenuBar* bar = window_.menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    QMenu* device = bar->addMenu(QStringLiteral("&Device"));
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));

    QAction* save = buildFileMenu(*file);
    buildEditMenu(*edit);
    buildDeviceMenu(*device);
    buildHelpMenu(*help, *file, save);

    for (QMenu* menu : {file, edit, device, help}) connect(menu, &QMenu::aboutToShow, this, &AppMenus::refresh);
    connect(&model_.navigation(), &Navigation::selectionChanged, this, &AppMenus::follow);
    connect(&model_.navigation(), &Navigation::selectedSessionChanged, this, &AppMenus::refresh);
    connect(&model_.deviceLists(), &DeviceLists::controllerDevicesChanged, this, &AppMenus::follow);
    connect(&model_.deviceLists(), &DeviceLists::hidDevicesChanged, this, &AppMenus::follow);
    connect(&model_.library(), &SessionLibrary::sessionsChanged, this, &AppMenus::refresh);
    connect(&model_.library(), &SessionLibrary::loadingChanged, this, &AppMenus::refresh);
    follow();
}

// Save, the exports, printing and Quit; returns Save Session…, which the window's baseline
// items follow.
QAction* AppMenus::buildFileMenu(QMenu& file) {
    QAction* save = add(file, QStringLiteral("menu-save-session"), QStringLiteral("Save Session…"),
                        QKeySequence(Qt::CTRL | Qt::Key_S), [this] {
                            if (auto selected = Commands::selectedDevice(model_)) model_.requestSave(selected);
                        });
    add(file, QStringLiteral("menu-export-pdf"), QStringLiteral("Export PDF Report…"), QKeySequence(Qt::CTRL | Qt::Key_E),
        [this] {
            Commands::withCurrentSessions(model_, [model = &model_](std::vector<TestSession> sessions) {
                if (!sessions.empty()) model->exportPDF(sessions, Commands::suggestedName(sessions));
            });
        });
    add(file, QStringLiteral("menu-copy-listing"), QStringLiteral("Copy Listing Text"),
        QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_C), [this] {
            Commands::withCurrentSessions(model_, [model = &model_](std::vector<TestSession> sessions) {
                if (!sessions.empty()) model->copyListing(sessions.front());
            });
        });
    file.addSeparator();

    buildExportMenus(file);
    file.addSeparator();
    QAction* print = add(file, QStringLiteral("menu-print"), QStringLiteral("Print Report…"),
                         QKeySequence(Qt::CTRL | Qt::Key_P), [this] {
                             if (!hooks_.print) return;
                             Commands::withCurrentSessions(model_, [print = hooks_.print](std::vector<TestSession> sessions) {
                                 if (!sessions.empty()) print(sessions);
                             });
                         });
    if (!hooks_.print) print->setToolTip(QString::fromUtf8(printMissing));
    file.addSeparator();
    add(file, QStringLiteral("menu-quit"), QStringLiteral("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
        [this] {
            if (hooks_.quit) hooks_.quit();
            else QApplication::closeAllWindows();
        });
    return save;
}

// The results of the current selection, or every saved session, as CSV or JSON.
void AppMenus::buildExportMenus(QMenu& file) {
    using Format = AppModel::ExportFormat;
    QMenu* results = file.addMenu(QStringLiteral("Export Results"));
    results->setObjectName(QStringLiteral("menu-export-results"));
    QMenu* all = file.addMenu(QStringLiteral("Export All Sessions"));
    all->setObjectName(QStringLiteral("menu-export-all"));
    for (auto [format, suffix, text] : {std::tuple{Format::csv, "csv", "CSV…"}, std::tuple{Format::json, "json", "JSON…"}}) {
        add(*results, QStringLiteral("menu-export-results-%1").arg(suffix), QString::fromUtf8(text), {},
            [this, format = format] {
                Commands::withCurrentSessions(model_, [model = &model_, format](std::vector<TestSession> sessions) {
                    if (!sessions.empty()) model->exportSessions(sessions, format, Commands::suggestedName(sessions));
                });
            });
        add(*all, QStringLiteral("menu-export-all-%1").arg(suffix), QString::fromUtf8(text), {}, [this, format = format] {
            if (!CommandState::of(model_).exportAll) return;
            // Read whole one at a time off the main thread as the export is written.
            model_.exportListed(model_.library().sessions(), format, Commands::allSessionsName);
        });
    }
    for (QMenu* menu : {results, all}) connect(menu, &QMenu::aboutToShow, this, &AppMenus::refresh);
}

void AppMenus::buildEditMenu(QMenu& edit) {
    add(edit, QStringLiteral("menu-settings"), QStringLiteral("Settings…"), QKeySequence(Qt::CTRL | Qt::Key_Comma),
        [this] {
            if (hooks_.openSettings) hooks_.openSettings();
        });
}

// The detail tabs and stopping the running test.
void AppMenus::buildDeviceMenu(QMenu& device) {
    const std::pair<DetailTab, const char*> tabs[] = {
        {DetailTab::bench, "Bench"}, {DetailTab::raw, "Raw HID"}, {DetailTab::history, "History"}};
    int key = Qt::Key_1;
    for (auto [tab, title] : tabs) {
        add(device, QStringLiteral("menu-tab-%1").arg(key - Qt::Key_1 + 1), QString::fromUtf8(title),
            QKeySequence(Qt::CTRL | key), [this, tab = tab] { Commands::selectTab(model_, tab); });
        ++key;
    }
    device.addSeparator();
    add(device, QStringLiteral("menu-stop-test"), QStringLiteral("Stop the Running Test"),
        QKeySequence(Qt::CTRL | Qt::Key_Period), [this] { Commands::stopRunningTest(model_); });
}

// Help: "Tessarine Help", then the catalogue, the update check and About; the window's baseline
// items go into the File menu after Save Session….
void AppMenus::buildHelpMenu(QMenu& help, QMenu& file, QAction* save) {
    QList<QAction*> extras;
    auto extra = [&](const QString& name, const QString& text, const std::function<void()>& run) {
        auto* item = new QAction(text, &help);
        item->setObjectName(name);
        item->setEnabled(bool(run));
        connect(item, &QAction::triggered, this, [run] {
            if (run) run();
        });
        actions_[name] = item;
        extras << item;
    };
    extra(QStringLiteral("menu-more-apps"), QStringLiteral("More Apps…"), hooks_.showMoreApps);
    extra(QStringLiteral("menu-check-updates"), QStringLiteral("Check for Updates…"), hooks_.checkForUpdates);
    extra(QStringLiteral("menu-about"), QStringLiteral("About Tessarine"), hooks_.showAbout);
    auto page = Velloway::MenuHelp::page(hooks_.helpPage, QStringLiteral("Tessarine"),
                                         [this](const QUrl& url) { return openLink(&window_, url, hooks_.openUrl); });
    QAction* close =
        Velloway::MenuBaseline(Velloway::CloseWindowAction::performClose(), page, extras).apply(file, save, help);
    actions_[close->objectName()] = close;
    for (QAction* item : help.actions()) actions_[item->objectName()] = item;
}

QAction* AppMenus::add(QMenu& menu, const QString& name, const QString& text, const QKeySequence& shortcut,
                       std::function<void()> run) {
    auto* item = menu.addAction(text);
    item->setObjectName(name);
    if (!shortcut.isEmpty()) {
        item->setShortcut(shortcut);
        // The shortcuts work wherever focus is in the main window, also in its sheets' parent.
        item->setShortcutContext(Qt::WindowShortcut);
        window_.addAction(item);
    }
    connect(item, &QAction::triggered, this, [run = std::move(run)] { run(); });
    actions_[name] = item;
    return item;
}

QAction* AppMenus::action(const QString& name) const {
    auto found = actions_.find(name);
    return found == actions_.end() ? nullptr : found->second;
}

// The selected device's results decide the session items, so its runner is followed.
void AppMenus::follow() {
    disconnect(runnerConnection_);
    runner_ = nullptr;
    if (auto device = Commands::selectedDevice(model_)) {
        runner_ = &model_.runner(device);
        runnerConnection_ = connect(runner_, &TestRunner::resultsChanged, this, &AppMenus::refresh);
    }
    refresh();
}

void AppMenus::refresh() {
    const CommandState state = CommandState::of(model_);
    action(QStringLiteral("menu-save-session"))->setEnabled(state.saveSession);
    for (const char* name : {"menu-export-pdf", "menu-copy-listing", "menu-export-results-csv", "menu-export-results-json"})
        action(QString::fromLatin1(name))->setEnabled(state.sessionItems);
    if (auto* results = window_.menuBar()->findChild<QMenu*>(QStringLiteral("menu-export-results")))
        results->setEnabled(state.sessionItems);
    if (auto* all = window_.menuBar()->findChild<QMenu*>(QStringLiteral("menu-export-all"))) all->setEnabled(state.exportAll);
    for (const char* name : {"menu-export-all-csv", "menu-export-all-json"})
        action(QString::fromLatin1(name))->setEnabled(state.exportAll);
    action(QStringLiteral("menu-print"))->setEnabled(state.sessionItems && bool(hooks_.print));
    for (int tab = 1; tab <= 3; ++tab) action(QStringLiteral("menu-tab-%1").arg(tab))->setEnabled(state.tabs);
}

} // namespace Tessarine
