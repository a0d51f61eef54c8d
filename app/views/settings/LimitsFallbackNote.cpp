#include "app/views/settings/LimitsFallbackNote.h"

#include <QStringList>

#include "app/model/UserSettings.h"
#include "app/paint/Theme.h"

namespace Tessarine {

LimitsFallbackNote::LimitsFallbackNote(const UserSettings& settings, QWidget* parent)
    : QLabel(parent), settings_(settings) {
    setObjectName(QStringLiteral("thresholds-fallback"));
    setWordWrap(true);
    setFont(Fonts::callout());
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(&settings_, &UserSettings::limitsFallbacksChanged, this, &LimitsFallbackNote::refresh);
    refresh();
}

void LimitsFallbackNote::refresh() {
    QStringList lines;
    for (const auto& note : settings_.limitsFallbacks()) lines << QString::fromStdString(note);
    setText(lines.join(QLatin1Char('\n')));
    setAccessibleName(text());
    setVisible(!lines.isEmpty());
}

} // namespace Tessarine
