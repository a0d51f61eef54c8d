// The file panels: one dialog is kept and set up afresh for each, so nothing of one panel
// leaks into the next.
#include "app/views/shell/FileDialogChooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QStandardPaths>
#include <QTimer>
#include <QUuid>

#include <functional>
#include <optional>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// What the open panel showed, read as the user sees it, before `answer` closes it.
struct Seen {
    QFileDialog* dialog = nullptr;
    QFileDialog::AcceptMode mode{};
    QFileDialog::FileMode files{};
    QString filter;
    QStringList selected;
};

// Once the next panel is open, notes what it shows in `seen` and answers it.
void whileOpen(Seen& seen, const std::function<void(QFileDialog&)>& answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = {dialog, dialog->acceptMode(), dialog->fileMode(), dialog->selectedNameFilter(), dialog->selectedFiles()};
        answer(*dialog);
    });
}

// As the dialog's own Save and Cancel buttons answer it.
const auto accept = [](QFileDialog& dialog) { static_cast<QDialog&>(dialog).accept(); };
const auto reject = [](QFileDialog& dialog) { dialog.reject(); };

} // namespace

TEST(FileDialogChooser, OneDialogServesEveryPanelEachSetUpAfresh) {
    // The dialog keeps its own settings; they go to the test area, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QWidget window;
    FileDialogChooser chooser(&window);
    const QString name = QStringLiteral("tessarine-test-%1.json").arg(QUuid::createUuid().toString(QUuid::Id128));

    Seen first;
    whileOpen(first, accept);
    const auto chosen = chooser.saveFile(FileChooser::Type::json, name);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_TRUE(chosen->endsWith(QLatin1Char('/') + name)) << chosen->toStdString();
    EXPECT_EQ(first.mode, QFileDialog::AcceptSave);
    EXPECT_EQ(first.filter, "JSON document (*.json)");
    ASSERT_NE(chooser.dialog(), nullptr);
    QFileDialog* kept = chooser.dialog();

    Seen second;
    whileOpen(second, reject);
    EXPECT_EQ(chooser.saveFile(FileChooser::Type::csv, QStringLiteral("All.csv")), std::nullopt);
    EXPECT_EQ(second.dialog, kept) << "kept, not made again";
    EXPECT_EQ(second.filter, "Comma-separated values (*.csv)");
    ASSERT_EQ(second.selected.size(), 1);
    EXPECT_TRUE(second.selected.constFirst().endsWith(QStringLiteral("/All.csv")));

    Seen opened;
    whileOpen(opened, reject);
    EXPECT_EQ(chooser.openFile(FileChooser::Type::image), std::nullopt);
    EXPECT_EQ(opened.dialog, kept);
    EXPECT_EQ(opened.mode, QFileDialog::AcceptOpen);
    EXPECT_EQ(opened.files, QFileDialog::ExistingFile);
    EXPECT_TRUE(opened.selected.filter(QStringLiteral("All.csv")).isEmpty()) << "the save's name is not offered";
    QStandardPaths::setTestModeEnabled(false);
}
