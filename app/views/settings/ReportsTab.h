#pragma once
// The settings window's Reports tab: the company name, contact line and logo that head every PDF
// report, and the technician new sessions start with. Each keystroke goes to the model, which
// saves it; the logo is chosen and removed through the model, which keeps it as a file.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Tessarine {

class SessionCommands;
class UserSettings;

class ReportsTab : public QWidget {
    Q_OBJECT

public:
    // The box the logo is fitted into, aspect kept; pixels.
    static constexpr int logoWidth = 80;
    static constexpr int logoHeight = 36;

    explicit ReportsTab(UserSettings& settings, SessionCommands& commands, QWidget* parent = nullptr);

private:
    void refresh();
    void showLogo();

    UserSettings& settings_;
    SessionCommands& commands_;
    QLineEdit* company_;
    QLineEdit* contact_;
    QLineEdit* technician_;
    QLabel* logo_;
    QPushButton* remove_;
};

} // namespace Tessarine
