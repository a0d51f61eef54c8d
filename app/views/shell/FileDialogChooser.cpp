#include "app/views/shell/FileDialogChooser.h"

#include <QDir>
#include <QFileDialog>

namespace Tessarine {

namespace {

// The extension a saved file gets when the user types a name without one.
QString suffix(FileChooser::Type type) {
    switch (type) {
    case FileChooser::Type::pdf: return QStringLiteral("pdf");
    case FileChooser::Type::json: return QStringLiteral("json");
    case FileChooser::Type::csv: return QStringLiteral("csv");
    case FileChooser::Type::image: return QStringLiteral("png");
    }
    return {};
}

std::optional<QString> chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.constFirst().isEmpty()) return std::nullopt;
    return files.constFirst();
}

} // namespace

QString FileDialogChooser::nameFilter(Type type) {
    switch (type) {
    case Type::pdf: return QStringLiteral("PDF document (*.pdf)");
    case Type::json: return QStringLiteral("JSON document (*.json)");
    case Type::csv: return QStringLiteral("Comma-separated values (*.csv)");
    case Type::image: return QStringLiteral("Images (*.png *.jpg *.jpeg *.tif *.tiff *.heic *.heif)");
    }
    return {};
}

FileDialogChooser::~FileDialogChooser() {
    // One made without a window has no other owner.
    if (dialog_ && !dialog_->parent()) delete dialog_.data();
}

QFileDialog* FileDialogChooser::dialog() const { return dialog_.data(); }

QFileDialog& FileDialogChooser::prepared(Type type) {
    if (!dialog_) dialog_ = new QFileDialog(parent_.data());
    QFileDialog& dialog = *dialog_;
    dialog.setNameFilter(nameFilter(type));
    dialog.setDefaultSuffix(suffix(type));
    dialog.setDirectory(QDir::home());
    // Creating a folder from the dialog stays allowed (the dialog is not read-only).
    dialog.setOption(QFileDialog::ReadOnly, false);
    return dialog;
}

std::optional<QString> FileDialogChooser::saveFile(Type type, const QString& suggestedName) {
    QFileDialog& dialog = prepared(type);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(suggestedName);
    return chosen(dialog);
}

std::optional<QString> FileDialogChooser::openFile(Type type) {
    QFileDialog& dialog = prepared(type);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Nothing of the last panel's name is offered.
    dialog.selectFile(QString());
    return chosen(dialog);
}

} // namespace Tessarine
