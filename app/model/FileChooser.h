#pragma once
// The save and open panels of the user commands. The model asks; the window layer answers with
// a modal file dialog (app/views), and tests with a fake.
#include <QString>

#include <optional>

namespace Tessarine {

class FileChooser {
public:
    // What a chosen file holds; it decides the types the panel allows.
    enum class Type {
        pdf,   // a PDF report
        json,  // a JSON export
        csv,   // comma-separated text
        image, // a PNG, JPEG, TIFF or HEIC picture
    };

    virtual ~FileChooser() = default;
    // Asks where to save a new file, offering `suggestedName` and letting the user create
    // folders. Absent when the user cancels.
    virtual std::optional<QString> saveFile(Type type, const QString& suggestedName) = 0;
    // Asks for one existing file. Absent when the user cancels.
    virtual std::optional<QString> openFile(Type type) = 0;
};

} // namespace Tessarine
