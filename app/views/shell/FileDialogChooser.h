#pragma once
// The model's file panels as modal file dialogs over the main window.
#include <QPointer>
#include <QWidget>

#include "app/model/FileChooser.h"

namespace Tessarine {

class FileDialogChooser final : public FileChooser {
public:
    // `parent` is the window the dialogs are modal to; it may go away before the chooser.
    explicit FileDialogChooser(QWidget* parent) : parent_(parent) {}

    std::optional<QString> saveFile(Type type, const QString& suggestedName) override;
    std::optional<QString> openFile(Type type) override;

    // The dialog's filter for the type, such as "PDF document (*.pdf)".
    static QString nameFilter(Type type);

private:
    QPointer<QWidget> parent_;
};

} // namespace Tessarine
