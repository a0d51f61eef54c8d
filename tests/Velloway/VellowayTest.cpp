#include "Velloway/CloseGuard.h"
#include "Velloway/MenuBaseline.h"
#include "Velloway/MenuLanguage.h"
#include "Velloway/WindowReader.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace Velloway;

TEST(MenuLanguage, UserLanguagesDecideWhenTheApplicationDeclaresNone) {
    EXPECT_EQ(MenuLanguage::resolve({}, {}, {"es-MX", "en-US"}), "es");
    EXPECT_EQ(MenuLanguage::resolve({}, {}, {"fr-FR"}), "en");
    EXPECT_EQ(MenuLanguage::resolve({}, {}, {"fr", "es_ES"}), "es");
    EXPECT_EQ(MenuLanguage::resolve({}, {}, {}), "en");
    EXPECT_EQ(MenuLanguage::resolve({"Base"}, {"es"}, {"fr"}), "en"); // "Base" declares nothing
}

TEST(MenuLanguage, AnApplicationsOwnLocalisationWins) {
    EXPECT_EQ(MenuLanguage::resolve({"en"}, {"en"}, {"es-MX"}), "en"); // English-only application
    EXPECT_EQ(MenuLanguage::resolve({"en", "es"}, {"es-MX"}, {"es-MX"}), "es");
    EXPECT_EQ(MenuLanguage::resolve({"en", "fr"}, {"fr"}, {"es"}), "en");
    EXPECT_EQ(MenuLanguage::resolve({"en"}, {}, {"es"}), "en");
}

TEST(MenuStrings, EnglishAndSpanishTitles) {
    EXPECT_EQ(MenuStrings::closeWindowTitle("en"), "Close Window");
    EXPECT_EQ(MenuStrings::helpTitle("Tessarine", "en"), "Tessarine Help");
    EXPECT_EQ(MenuStrings::closeWindowTitle("es"), "Cerrar ventana");
    EXPECT_EQ(MenuStrings::helpTitle("Tessarine", "es"), "Ayuda de Tessarine");
}

namespace {
struct Menus {
    QMenu file;
    QMenu help;
    QAction* save = file.addAction("Save Session…");
    QAction* manual = help.addAction("Something of the desktop");
};
} // namespace

TEST(MenuBaseline, CloseWindowGoesBeforeTheSaveItemsAndHelpReplacesTheMenu) {
    Menus menus;
    QUrl opened;
    auto help = MenuHelp::page(QUrl("https://example.org/help"), "Tessarine", [&](const QUrl& url) {
        opened = url;
        return true;
    });
    auto* extra = new QAction("More Apps…", &menus.help);
    int closes = 0;
    QAction* close = MenuBaseline({[&] { ++closes; }}, help, {extra}).apply(menus.file, menus.save, menus.help);

    ASSERT_EQ(menus.file.actions().size(), 2);
    EXPECT_EQ(menus.file.actions()[0], close);
    EXPECT_EQ(close->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
    close->trigger();
    EXPECT_EQ(closes, 1);

    ASSERT_EQ(menus.help.actions().size(), 2);
    QAction* helpItem = menus.help.actions()[0];
    EXPECT_TRUE(helpItem->text().endsWith("Help"));
    EXPECT_TRUE(helpItem->shortcut().isEmpty()); // a page has no shortcut
    EXPECT_EQ(menus.help.actions()[1], extra);
    helpItem->trigger();
    EXPECT_EQ(opened, QUrl("https://example.org/help"));
}

TEST(MenuBaseline, NoHelpLeavesTheHelpMenuAlone) {
    Menus menus;
    MenuBaseline(CloseWindowAction::performClose(), std::nullopt).apply(menus.file, menus.save, menus.help);
    ASSERT_EQ(menus.help.actions().size(), 1);
    EXPECT_EQ(menus.help.actions()[0], menus.manual);
}

TEST(CloseGuard, AsksBeforeTheGuardedWindowClosesAndInstallsOnce) {
    CloseGuard& guard = CloseGuard::shared();
    QMainWindow window;
    window.show();
    const int before = guard.watchedWindows();
    guard.install(&window);
    guard.install(&window);
    EXPECT_EQ(guard.watchedWindows(), before + 1);
    EXPECT_EQ(guard.guarded(), &window);

    bool allow = false;
    guard.shouldClose = [&] { return allow; };
    window.close(); // the close button, or the window manager
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(guard.request(&window));
    guard.closeKeyWindow();
    EXPECT_TRUE(window.isVisible());

    // Another window closes as its own close button would, whatever the guard says.
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    guard.closeKeyWindow();
    EXPECT_FALSE(other.isVisible());

    allow = true;
    EXPECT_TRUE(guard.request(&window));
    EXPECT_FALSE(window.isVisible());
    guard.shouldClose = [] { return true; };
}

TEST(WindowReader, ReportsTheWindowItIsPlacedIn) {
    QWidget* seen = nullptr;
    int calls = 0;
    QWidget window;
    auto* reader = new WindowReader([&](QWidget* w) {
        seen = w;
        ++calls;
    });
    EXPECT_EQ(calls, 0); // no window yet
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(reader);
    window.show();
    EXPECT_EQ(seen, &window);
    EXPECT_EQ(calls, 1);
    reader->setFound([&](QWidget* w) { seen = w, calls += 10; });
    EXPECT_EQ(calls, 11); // a new callback hears of the window at once
}

TEST(UndoStackReader, FollowsTheWindowsStack) {
    QWidget window;
    auto* view = new QWidget(&window);
    QUndoStack first, second;
    UndoStackReader::offer(&window, &first);
    std::vector<QUndoStack*> seen;
    new UndoStackReader(view, [&](QUndoStack* stack) { seen.push_back(stack); });
    window.show();
    UndoStackReader::offer(&window, &second);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], &first);
    EXPECT_EQ(seen[1], &second);
}
