#pragma once
// The label that speaks for the announcer: each announcement becomes its text and is raised
// to assistive technology as an alert, the desktop's form of a live region. It takes no room
// and shows nothing a sighted user would miss.
#include <QLabel>

namespace Tessarine {

class Announcer;

class LiveRegion : public QLabel {
    Q_OBJECT

public:
    // Installs itself as the announcer's voice until it is destroyed.
    LiveRegion(Announcer& announcer, QWidget* parent);
    ~LiveRegion() override;

    void speak(const QString& text);

private:
    Announcer& announcer_;
};

} // namespace Tessarine
