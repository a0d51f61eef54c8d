#include "app/views/shell/LiveRegion.h"

#include <QAccessible>

#include "app/model/Services.h"

namespace Tessarine {

LiveRegion::LiveRegion(Announcer& announcer, QWidget* parent) : QLabel(parent), announcer_(announcer) {
    setObjectName(QStringLiteral("announcements"));
    setTextFormat(Qt::PlainText);
    // One pixel in the corner: present for assistive technology, invisible on screen.
    setGeometry(0, 0, 1, 1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette clear = palette();
    clear.setColor(QPalette::WindowText, Qt::transparent);
    setPalette(clear);
    announcer_.speak = [this](const QString& text) { speak(text); };
}

LiveRegion::~LiveRegion() { announcer_.speak = nullptr; }

void LiveRegion::speak(const QString& text) {
    setText(text);
    setAccessibleName(text);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

} // namespace Tessarine
