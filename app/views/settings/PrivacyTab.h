#pragma once
// The settings window's Privacy tab: where the sessions are kept and what goes online, and
// Erase History… behind a confirmation. Erasing touches nothing but the saved sessions.
#include <QMessageBox>
#include <QPointer>
#include <QWidget>



namespace Tessarine {

class SessionCommands;
class SessionLibrary;

class PrivacyTab : public QWidget {
    Q_OBJECT

public:
    explicit PrivacyTab(SessionLibrary& library, SessionCommands& commands, const QString& sessionsFolder,
                        QWidget* parent = nullptr);

    // The open confirmation; null while none is shown.
    QMessageBox* confirmation() const { return confirm_; }

    // Removes the session folder and says how it went: "History erased", or why not, with the
    // list then holding what is still on disk.
    void eraseHistory();

private:
    void askToErase();

    SessionLibrary& library_;
    SessionCommands& commands_;
    QPointer<QMessageBox> confirm_;
};

} // namespace Tessarine
