// What a screen reader finds across the views: every combo box says what it is for.
#include "app/model/ModelFakes.h"

#include "app/views/settings/SettingsView.h"
#include "app/views/shell/MainWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// Combo boxes without a label relation, by what they show.
QStringList unlabelled(const QWidget& top) {
    QStringList missing;
    for (QComboBox* box : top.findChildren<QComboBox*>())
        if (QAccessible::queryAccessibleInterface(box)->relations(QAccessible::Label).isEmpty())
            missing << box->objectName() + " (" + box->currentText() + ")";
    return missing;
}

} // namespace

TEST(ScreenReader, EveryComboBoxHasALabelRelation) {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    MainWindow window(model);
    window.show();
    QApplication::processEvents();
    // The demo's bench, then its raw HID tab with its editors and the axis check.
    EXPECT_GE(window.findChildren<QComboBox*>().size(), 4);
    EXPECT_EQ(unlabelled(window), QStringList());
    model.navigation().setTab(DetailTab::raw);
    QApplication::processEvents();
    EXPECT_EQ(unlabelled(window), QStringList());

    SettingsView settings(model.settings(), model.library(), model, model.announcer(), model.keyboard(),
                          model.sessionsFolder());
    EXPECT_GE(settings.findChildren<QComboBox*>().size(), 2);
    EXPECT_EQ(unlabelled(settings), QStringList());
    window.close();
}
