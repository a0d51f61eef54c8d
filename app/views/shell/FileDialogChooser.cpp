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

std::optional<QString> FileDialogChooser::saveFile(Type type, const QString& suggestedName) {
    QFileDialog dialog(parent_.data());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(nameFilter(type));
    dialog.setDefaultSuffix(suffix(type));
    dialog.setDirectory(QDir::home());
    dialog.selectFile(suggestedName);
    // Creating a folder from the dialog stays allowed (the dialog is not read-only).
    dialog.setOption(QFileDialog::ReadOnly, false);
    return chosen(dialog);
}

std::optional<QString> FileDialogChooser::openFile(Type type) {
    QFileDialog dialog(parent_.data());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(nameFilter(type));
    dialog.setDirectory(QDir::home());
    return chosen(dialog);
}

} // namespace Tessarine
