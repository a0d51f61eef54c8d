#include "app/model/CommandFakes.h"

#include "app/views/settings/DisplayTab.h"
#include "app/views/shell/AppMenus.h"
#include "app/views/shell/MainWindow.h"
#include "app/views/shell/MoreApps.h"
#include "app/views/kit/NumberField.h"
#include "app/views/settings/PrivacyTab.h"
#include "app/views/settings/ReportsTab.h"
#include "app/views/settings/SettingsView.h"
#include "app/views/settings/SettingsWindow.h"
#include "app/views/settings/ThresholdsTab.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/TestLog.h"
#include "support/Unremovable.h"
#include "testkit/Date.h"

using namespace Tessarine;
using RorozErurEvo::ControllerFamily;
using TestFiles::Unremovable;
using RorozErurEvo::Thresholds;

namespace {

struct SettingsFixture : ::testing::Test {
    Fakes::Bench bench;
    AppModel& model = *bench.model;
    std::shared_ptr<Fakes::Chooser> chooser = std::make_shared<Fakes::Chooser>();

    SettingsFixture() { model.setFileChooser(chooser); }

    template <typename T> static T* find(QWidget& root, const char* name) {
        T* found = root.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Replaces the field's text as typed and presses Return.
    static void type(QLineEdit* field, const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    // What choosing an item from the open list does.
    static void choose(QComboBox* box, const QString& text) {
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    static QStringList items(QComboBox* box) {
        QStringList list;
        for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
        return list;
    }
    RorozErurEvo::TestSession saved(const char* unit) {
        RorozErurEvo::TestSession s;
        s.id = RorozErurEvo::Uuid::random();
        s.date = RorozErurEvo::Dates::now();
        s.unit = unit;
        s.device.name = "Pad";
        EXPECT_TRUE(model.library().save(s));
        return s;
    }
};

struct ThresholdsFixture : SettingsFixture {
    ThresholdsTab tab{model.settings(), model.announcer()};
    QComboBox* picker = find<QComboBox>(tab, "thresholds-family");
    QPushButton* restore = find<QPushButton>(tab, "thresholds-restore");
    QLineEdit* field(const char* key) { return find<QLineEdit>(tab, key); }
};

} // namespace

TEST(ThresholdsTabNote, LimitsThatCouldNotBeReadAreNotedUntilNewOnesAreSaved) {
    TestLog::ExpectedWarnings logged("tessarine.model", "Couldn't read the saved thresholds");
    Fakes::Bench bench(true, [](MemoryPreferences& d) { d.setData("thresholds", QByteArray("[not json")); });
    ThresholdsTab tab{bench.model->settings(), bench.model->announcer()};
    tab.show();
    auto* note = tab.findChild<QLabel*>("thresholds-fallback");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().startsWith("Couldn't read the saved thresholds (")) << note->text().toStdString();
    tab.restoreDefaults();
    EXPECT_FALSE(note->isVisible());

    Fakes::Bench fresh;
    ThresholdsTab plain{fresh.model->settings(), fresh.model->announcer()};
    plain.show();
    EXPECT_FALSE(plain.findChild<QLabel*>("thresholds-fallback")->isVisible());
}

TEST_F(ThresholdsFixture, StandardThresholdsShowTheirDefaultsInTheirRows) {
    EXPECT_EQ(field("driftWarn")->text(), "4");
    EXPECT_EQ(field("driftFail")->text(), "8");
    EXPECT_EQ(field("driftWarn")->accessibleName(), "Drift at rest, warn, percent");
    EXPECT_EQ(field("settleWarnMs")->text(), "250");
    EXPECT_EQ(find<QLabel>(tab, "settleWarnMs-unit")->text(), "ms");
    EXPECT_EQ(field("soakDisconnectsAllowed")->text(), "0");
    EXPECT_EQ(find<QLabel>(tab, "soakDisconnectsAllowed-unit")->text(), "");
    EXPECT_EQ(field("soakGapRateWarn")->text(), "0.5");
    EXPECT_EQ(field("soakGapRateFail")->text(), "2");
    EXPECT_EQ(field("soakGapRateFail")->accessibleName(), "Dropouts per minute, fail");
    EXPECT_EQ(find<QComboBox>(tab, "gate")->currentText(), "Round");
    EXPECT_EQ(items(picker), (QStringList{"Your thresholds (other devices)", "", "Xbox", "PlayStation",
                                          "Switch (Pro Controller, Joy-Con)", "N64-style", "GameCube-style"}));
    EXPECT_EQ(restore->text(), "Restore Defaults");
    EXPECT_EQ(find<QGroupBox>(tab, "thresholds-sticks")->title(), "Sticks");
    EXPECT_TRUE(find<QLabel>(tab, "thresholds-note")->isHidden());
}

TEST_F(ThresholdsFixture, PickingAFamilyShowsItsHeaderNoteTypicalValuesAndRestoreButton) {
    choose(picker, "N64-style");
    EXPECT_EQ(tab.editing(), ControllerFamily::n64);
    EXPECT_EQ(find<QGroupBox>(tab, "thresholds-sticks")->title(), "Sticks (N64-style)");
    QLabel* note = find<QLabel>(tab, "thresholds-note");
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->text().toStdString(), RorozErurEvo::note(ControllerFamily::n64));
    EXPECT_EQ(restore->text(), "Restore Typical N64-style Profile");
    EXPECT_EQ(field("driftWarn")->text(), "5");
    EXPECT_EQ(field("settleWarnMs")->text(), "350");
    EXPECT_EQ(find<QComboBox>(tab, "gate")->currentText(), "Octagon (N64)");

    choose(picker, "Your thresholds (other devices)");
    EXPECT_EQ(field("driftWarn")->text(), "4");
    EXPECT_EQ(restore->text(), "Restore Defaults");
}

TEST_F(ThresholdsFixture, EditingAFamilyMarksItChangedUntilItsTypicalValueIsBack) {
    // The toggle does not lock the profiles.
    find<QCheckBox>(tab, "thresholds-use-families")->click();
    EXPECT_FALSE(model.settings().useFamilyProfiles());
    EXPECT_EQ(bench.defaults->boolean("useFamilyProfiles"), false);

    choose(picker, "Xbox");
    type(field("circularityWarn"), "13");
    EXPECT_EQ(model.settings().familyProfiles().thresholds(ControllerFamily::xbox).circularityWarn, 0.13);
    EXPECT_EQ(model.thresholds(), Thresholds::standard()) << "your own thresholds are untouched";
    EXPECT_EQ(picker->itemText(picker->findData(int(ControllerFamily::xbox))), "Xbox (changed)");
    const auto stored = QJsonDocument::fromJson(*bench.defaults->data("familyProfiles")).object();
    EXPECT_TRUE(stored["custom"].toObject().contains("xbox"));

    type(field("circularityWarn"), "12");
    EXPECT_FALSE(model.settings().familyProfiles().isCustom(ControllerFamily::xbox));
    EXPECT_EQ(picker->itemText(picker->findData(int(ControllerFamily::xbox))), "Xbox");

    type(field("circularityFail"), "25");
    EXPECT_TRUE(model.settings().familyProfiles().isCustom(ControllerFamily::xbox));
    restore->click();
    EXPECT_FALSE(model.settings().familyProfiles().isCustom(ControllerFamily::xbox));
    EXPECT_EQ(field("circularityFail")->text(), "20");
}

TEST_F(ThresholdsFixture, RestoreDefaultsPutsBackFieldsWithoutARowToo) {
    Thresholds changed = Thresholds::standard();
    changed.minCoverage = 0.5;
    changed.soakMinutes = 60;
    changed.driftWarn = 0.06;
    ASSERT_FALSE(model.settings().setThresholds(changed));
    EXPECT_EQ(field("driftWarn")->text(), "6");
    restore->click();
    EXPECT_EQ(model.thresholds(), Thresholds::standard());
    EXPECT_EQ(field("driftWarn")->text(), "4");
}

TEST_F(ThresholdsFixture, ImpossibleLimitsAreRefusedWithAReasonAndTheLastGoodValueStays) {
    auto reason = [&](const char* key) {
        return find<QLabel>(tab, (std::string(key) + "-refusal").c_str());
    };
    tab.show();
    EXPECT_FALSE(reason("driftWarn")->isVisible());

    type(field("driftFail"), "-5");
    EXPECT_EQ(model.thresholds().driftFail, 0.08);
    EXPECT_EQ(field("driftFail")->text(), "8");
    EXPECT_TRUE(reason("driftWarn")->isVisible());
    EXPECT_EQ(reason("driftWarn")->text(), "Couldn't save -5 %: a limit can't be negative.");
    EXPECT_TRUE(Fakes::said(model, reason("driftWarn")->text()));
    type(field("chatterWindowMs"), "-5");
    EXPECT_EQ(model.thresholds().chatterWindowMs, 30);
    EXPECT_EQ(field("chatterWindowMs")->text(), "30");
    EXPECT_EQ(reason("chatterWindowMs")->text(), "Couldn't save -5 ms: a limit can't be negative.");
    EXPECT_FALSE(reason("driftWarn")->isVisible()) << "one reason at a time";
    type(field("soakGapRateWarn"), "-1");
    EXPECT_EQ(model.thresholds().soakGapRateWarn, 0.5);

    // A warn limit beyond its fail limit, for the way the measure gets worse.
    type(field("driftWarn"), "20");
    EXPECT_EQ(model.thresholds().driftWarn, 0.04);
    EXPECT_EQ(field("driftWarn")->text(), "4");
    EXPECT_EQ(reason("driftWarn")->text(),
              "Couldn't save: warn 20 % lies above fail 8 %. Higher is worse here, so warn can be at most fail.");
    type(field("triggerReachWarn"), "80");
    EXPECT_EQ(model.thresholds().triggerReachWarn, 0.95);
    EXPECT_TRUE(reason("triggerReachWarn")->text().contains("warn 80 % lies below fail 85 %"));
    type(field("soakGapRateFail"), "0.25");
    EXPECT_EQ(model.thresholds().soakGapRateFail, 2);
    EXPECT_TRUE(reason("soakGapRateWarn")->text().contains("warn 0.5 lies above fail 0.25"));
    type(field("driftWarn"), "hello");
    EXPECT_EQ(reason("driftWarn")->text(), "Couldn't save \"hello\": not a number.");

    // Moving both limits in the order that keeps each step possible works, and clears the reason.
    type(field("driftFail"), "30");
    type(field("driftWarn"), "20");
    EXPECT_EQ(model.thresholds().driftWarn, 0.2);
    EXPECT_EQ(model.thresholds().driftFail, 0.3);
    EXPECT_FALSE(reason("driftWarn")->isVisible());
    type(field("driftFail"), "20");
    EXPECT_EQ(model.thresholds().driftFail, 0.2) << "equal limits are possible";

    // A family profile is held to the same rules.
    choose(picker, "Xbox");
    const Thresholds typical = model.settings().familyProfiles().thresholds(ControllerFamily::xbox);
    type(field("circularityWarn"), "90");
    EXPECT_EQ(model.settings().familyProfiles().thresholds(ControllerFamily::xbox), typical);
    EXPECT_TRUE(reason("circularityWarn")->isVisible());
    choose(picker, "Your thresholds (other devices)");
    EXPECT_FALSE(reason("circularityWarn")->isVisible());
}

TEST_F(ThresholdsFixture, NumbersAreStoredOnlyWhenFinite) {
    // Nothing that is not a finite number reaches the thresholds or their stored JSON.
    for (const char* bad : {"inf", "nan", "1e999", "four"}) {
        type(field("driftWarn"), QString::fromLatin1(bad));
        EXPECT_EQ(model.thresholds().driftWarn, 0.04) << bad;
        EXPECT_EQ(field("driftWarn")->text(), "4") << bad;
        type(field("settleWarnMs"), QString::fromLatin1(bad));
        EXPECT_EQ(model.thresholds().settleWarnMs, 250) << bad;
    }
    type(field("driftFail"), "9");
    const auto stored = QJsonDocument::fromJson(*bench.defaults->data("thresholds")).object();
    EXPECT_EQ(stored["driftWarn"].toDouble(), 0.04);
    EXPECT_EQ(stored["driftFail"].toDouble(), 0.09);

    // Passing through a field without typing keeps a value finer than the field shows.
    Thresholds fine = model.thresholds();
    fine.noiseWarn = 0.012345;
    model.settings().setThresholds(fine);
    EXPECT_EQ(field("noiseWarn")->text(), "1.2");
    emit field("noiseWarn")->editingFinished();
    EXPECT_EQ(model.thresholds().noiseWarn, 0.012345);

    choose(find<QComboBox>(tab, "gate"), "Square");
    EXPECT_EQ(model.thresholds().gate, RorozErurEvo::GateShape::square);
}

TEST_F(SettingsFixture, TheWindowOpensOnTheStoredTabAndRemembersTheChosenOne) {
    bench.defaults->setString("settingsTab", "display");
    SettingsWindow window(model.defaults(),
                          new SettingsView(model.settings(), model.library(), model, model.announcer(),
                                           model.keyboard(), model.sessionsFolder()));
    EXPECT_EQ(window.size(), QSize(620, 560));
    EXPECT_EQ(window.view()->currentWidget()->objectName(), "settings-display");
    QStringList labels;
    for (int i = 0; i < window.view()->count(); ++i) labels << window.view()->tabText(i);
    EXPECT_EQ(labels, (QStringList{"Thresholds", "Display", "Reports", "Privacy"}));

    window.view()->setCurrentIndex(3);
    EXPECT_EQ(bench.defaults->string("settingsTab"), "privacy");

    // A request for a tab (the model writes it first) shows that tab; an unknown one the first.
    model.openSettings("reports");
    window.showWindow();
    EXPECT_EQ(window.view()->tab(), "reports");
    bench.defaults->setString("settingsTab", "colours");
    window.showWindow();
    EXPECT_EQ(window.view()->currentIndex(), 0);
    window.close();
}

// A screen reader meets the settings and the catalogue as windows named by their titles, as it
// does the main window, not as anonymous fillers.
TEST_F(SettingsFixture, ScreenReadersMeetTheWindowsAsWindowsWithTheirTitles) {
    SettingsWindow window(model.defaults(),
                          new SettingsView(model.settings(), model.library(), model, model.announcer(),
                                           model.keyboard(), model.sessionsFolder()));
    for (QWidget* shown : {static_cast<QWidget*>(&window), static_cast<QWidget*>(&MoreAppsView::showWindow())}) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(shown);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->role(), QAccessible::Window) << shown->windowTitle().toStdString();
        EXPECT_EQ(face->text(QAccessible::Name), shown->windowTitle());
    }
    EXPECT_EQ(window.windowTitle(), "Settings");
    MoreAppsView::showWindow().close();
}

TEST_F(SettingsFixture, EscapeClosesTheWindow) {
    SettingsWindow window(model.defaults(),
                          new SettingsView(model.settings(), model.library(), model, model.announcer(),
                                           model.keyboard(), model.sessionsFolder()));
    window.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(window.view()->currentWidget(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(SettingsFixture, DisplayTabEditsRawNumbersTraceLengthAndTheKeyboardLayoutInStepWithTheTester) {
    DisplayTab tab(model.settings(), model.keyboard());
    find<QCheckBox>(tab, "display-raw-numbers")->click();
    EXPECT_TRUE(model.settings().showRawNumbers());

    auto* slider = find<QSlider>(tab, "display-trail");
    QLabel* text = find<QLabel>(tab, "display-trail-text");
    EXPECT_EQ(text->text(), "1.5 s");
    slider->setValue(slider->maximum());
    EXPECT_EQ(model.settings().trailSeconds(), 4.0);
    EXPECT_EQ(text->text(), "4 s");
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_EQ(model.settings().trailSeconds(), 0.3);
    EXPECT_EQ(text->text(), "0.3 s");

    auto* layout = find<QComboBox>(tab, "display-keyboard-layout");
    EXPECT_EQ(items(layout), (QStringList{"US (ANSI)", "ISO"}));
    choose(layout, "ISO");
    EXPECT_EQ(model.keyboard().layoutKind(), RorozErurEvo::KeyboardLayout::Kind::iso);
    EXPECT_EQ(bench.defaults->string("keyboardLayout"), "iso");
    model.keyboard().setLayoutKind(RorozErurEvo::KeyboardLayout::Kind::ansi);
    EXPECT_EQ(layout->currentText(), "US (ANSI)");
}

TEST_F(SettingsFixture, ReportsTabWritesEachKeystrokeAndShowsTheLogoRowInBothStates) {
    ReportsTab tab(model.settings(), model);
    tab.show();
    auto* company = find<QLineEdit>(tab, "reports-company");
    QTest::keyClicks(company, "Fixit");
    EXPECT_EQ(model.settings().companyName(), "Fixit");
    EXPECT_EQ(bench.defaults->string("companyName"), "Fixit");
    company->selectAll();
    QTest::keyClick(company, Qt::Key_Backspace);
    EXPECT_EQ(bench.defaults->string("companyName"), "");
    QTest::keyClicks(find<QLineEdit>(tab, "reports-technician"), "Sam");
    EXPECT_EQ(model.settings().defaultTechnician(), "Sam");

    QLabel* logo = find<QLabel>(tab, "reports-logo");
    QPushButton* remove = find<QPushButton>(tab, "reports-logo-remove");
    QPushButton* choose = find<QPushButton>(tab, "reports-logo-choose");
    EXPECT_FALSE(logo->isVisible());
    EXPECT_FALSE(remove->isVisible());
    EXPECT_TRUE(choose->isVisible());

    // A wide picture fits the box's width; the row then reads picture, Remove, Choose….
    const QString picture = bench.folder.filePath("wide.png");
    QImage(400, 100, QImage::Format_RGB32).save(picture);
    chooser->answer = picture;
    choose->click();
    bench.executor->runAll(); // read and written off the main thread
    EXPECT_TRUE(logo->isVisible());
    EXPECT_TRUE(remove->isVisible());
    EXPECT_EQ(logo->size(), QSize(80, 20));
    EXPECT_EQ(logo->accessibleName(), "Current logo");
    EXPECT_LT(logo->x(), remove->x());
    EXPECT_LT(remove->x(), choose->x());
    EXPECT_TRUE(QFile::exists(model.logoPath()));

    // A file that is no picture, and a cancelled panel, change nothing.
    QFile text(bench.folder.filePath("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    chooser->answer = text.fileName();
    choose->click();
    chooser->answer.reset();
    choose->click();
    bench.executor->runAll();
    EXPECT_EQ(model.settings().logo().size(), QSize(400, 100));

    remove->click();
    bench.executor->runAll();
    EXPECT_FALSE(logo->isVisible());
    EXPECT_FALSE(remove->isVisible());
    EXPECT_FALSE(QFile::exists(model.logoPath()));
}

TEST_F(SettingsFixture, ALogoThatCannotBeKeptIsReportedNotShown) {
    ReportsTab tab(model.settings(), model);
    // A folder where the logo's file should go: the file cannot replace it.
    ASSERT_TRUE(QDir().mkpath(model.logoPath()));
    const QString picture = bench.folder.filePath("logo.png");
    QImage(40, 40, QImage::Format_RGB32).save(picture);
    chooser->answer = picture;
    TestLog::ExpectedWarnings expected("tessarine.model", "logo");
    find<QPushButton>(tab, "reports-logo-choose")->click();
    bench.executor->runAll();
    EXPECT_EQ(expected.count(), 1);
    EXPECT_TRUE(model.settings().logo().isNull());
    EXPECT_TRUE(find<QLabel>(tab, "reports-logo")->isHidden());
    ASSERT_TRUE(model.toast());
    EXPECT_TRUE(model.toast()->starts_with("Couldn't save the logo: ")) << *model.toast();
}

namespace {

// Stands in for the desktop's browser: records the pages handed to it.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

TEST_F(SettingsFixture, PrivacyTabErasesTheHistoryOnlyAfterConfirmation) {
    PrivacyTab tab(model.library(), model, model.sessionsFolder());
    EXPECT_TRUE(find<QLabel>(tab, "privacy-storage")->text().contains(QDir::cleanPath(model.sessionsFolder()).section('/', -3)));
    saved("SN-1");
    saved("SN-2");

    auto* erase = find<QPushButton>(tab, "privacy-erase");
    erase->click();
    ASSERT_NE(tab.confirmation(), nullptr);
    EXPECT_EQ(tab.confirmation()->text(), "Erase every saved session?");
    EXPECT_EQ(tab.confirmation()->informativeText(), "Saved sessions are deleted from this computer.");
    tab.confirmation()->button(QMessageBox::Cancel)->click();
    EXPECT_EQ(model.library().sessions().size(), 2u);

    erase->click();
    find<QPushButton>(*tab.confirmation(), "privacy-confirm-erase")->click();
    bench.executor->runAll(); // the folder is removed off the main thread
    EXPECT_TRUE(model.library().sessions().empty());
    EXPECT_FALSE(QDir(model.sessionsFolder()).exists());
    EXPECT_EQ(model.toast(), "History erased");

    // With no folder at all it says the same; the next save makes the folder again.
    model.setToast(std::nullopt);
    tab.eraseHistory();
    bench.executor->runAll();
    EXPECT_EQ(model.toast(), "History erased");
    saved("SN-3");
    EXPECT_EQ(QDir(model.sessionsFolder()).entryList({"*.json"}).size(), 1);
}

TEST_F(SettingsFixture, AHistoryThatCannotBeErasedIsReportedAndStaysListed) {
    PrivacyTab tab(model.library(), model, model.sessionsFolder());
    saved("SN-1");
    saved("SN-2");
    Unremovable lock(model.sessionsFolder());
    if (!lock.ok()) GTEST_SKIP() << "this file system cannot make a folder unremovable";
    TestLog::ExpectedWarnings expected("tessarine.model", "erase");
    tab.eraseHistory();
    bench.executor->runAll();
    EXPECT_EQ(expected.count(), 1);
    ASSERT_TRUE(model.toast());
    EXPECT_TRUE(model.toast()->starts_with("Couldn't erase the history: ")) << *model.toast();
    EXPECT_EQ(model.library().sessions().size(), 2u);
}

TEST(MoreAppsWindow, OneWindowCentredOnceAndRowsOpenTheirPages) {
    // Help ▸ More Apps… twice: one window.
    Fakes::Bench bench{false};
    MainWindow main{*bench.model};
    QAction* item = main.menus().action("menu-more-apps");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    item->trigger();
    MoreAppsView& first = MoreAppsView::showWindow();
    item->trigger();
    int catalogues = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) catalogues += qobject_cast<MoreAppsView*>(window) != nullptr;
    EXPECT_EQ(catalogues, 1);
    EXPECT_EQ(first.size(), QSize(440, 400));
    EXPECT_EQ(first.windowTitle(), "More Apps");
    EXPECT_TRUE(first.isVisible());

    first.move(first.pos() + QPoint(30, 20));
    const QPoint left = first.pos();
    first.close();
    EXPECT_FALSE(first.isVisible());
    MoreAppsView& again = MoreAppsView::showWindow();
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(again.pos(), left);

    // The rows are the shown entries; a click anywhere in a row, between text and mark too,
    // hands its page to the desktop.
    const auto rows = again.findChildren<CatalogueAppRow*>();
    ASSERT_EQ(rows.size(), qsizetype(MoreAppsView::apps().size()));
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    CatalogueAppRow* row = rows.at(1);
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(row->width() - 60, row->height() / 2));
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.front(), MoreAppsView::apps().at(1).url());
    EXPECT_EQ(row->accessibleName(), MoreAppsView::apps().at(1).accessibleLabel());
    again.close();
}

#include "SettingsViewTest.moc"
