#pragma once
// The model's file panels as modal file dialogs over the main window.
//
// One dialog serves every panel and is kept between them: a file dialog's end writes Qt's
// dialog settings file and waits for its folder-reading thread, tens of milliseconds on the
// window's thread (far more on a busy machine) just as an export or a save begins.
#include <QPointer>
#include <QWidget>

class QFileDialog;

#include "app/model/FileChooser.h"

namespace Tessarine {

class FileDialogChooser final : public FileChooser {
public:
    // `parent` is the window the dialogs are modal to; it may go away before the chooser.
    explicit FileDialogChooser(QWidget* parent) : parent_(parent) {}
    ~FileDialogChooser() override;
    FileDialogChooser(const FileDialogChooser&) = delete;
    FileDialogChooser& operator=(const FileDialogChooser&) = delete;

    std::optional<QString> saveFile(Type type, const QString& suggestedName) override;
    std::optional<QString> openFile(Type type) override;

    // The dialog's filter for the type, such as "PDF document (*.pdf)".
    static QString nameFilter(Type type);

    // The dialog the panels are asked in; null before the first.
    QFileDialog* dialog() const;

private:
    // The kept dialog, set up afresh for a panel of the type.
    QFileDialog& prepared(Type type);

    QPointer<QWidget> parent_;
    QPointer<QFileDialog> dialog_;
};

} // namespace Tessarine
