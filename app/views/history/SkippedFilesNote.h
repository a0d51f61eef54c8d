#pragma once
// Above the history: "N session files could not be read", shown only when the last load of the
// session folder passed over some, opening on request to the file names and their causes.
#include <QWidget>

class QLabel;

namespace Tessarine {

class DisclosureBox;
class SessionLibrary;

class SkippedFilesNote final : public QWidget {
    Q_OBJECT

public:
    explicit SkippedFilesNote(SessionLibrary& library, QWidget* parent = nullptr);

    DisclosureBox* box() const { return box_; }

private:
    void refresh();

    SessionLibrary& library_;
    DisclosureBox* box_;
    QLabel* details_;
};

} // namespace Tessarine
