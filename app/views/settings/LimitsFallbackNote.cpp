#include "app/views/settings/LimitsFallbackNote.h"

#include <QStringList>

#include "app/model/AppModel.h"
#include "app/paint/Theme.h"

namespace Tessarine {

LimitsFallbackNote::LimitsFallbackNote(AppModel& model, QWidget* parent) : QLabel(parent), model_(model) {
    setObjectName(QStringLiteral("thresholds-fallback"));
    setWordWrap(true);
    setFont(Fonts::callout());
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(&model_, &AppModel::limitsFallbacksChanged, this, &LimitsFallbackNote::refresh);
    refresh();
}

void LimitsFallbackNote::refresh() {
    QStringList lines;
    for (const auto& note : model_.limitsFallbacks()) lines << QString::fromStdString(note);
    setText(lines.join(QLatin1Char('\n')));
    setAccessibleName(text());
    setVisible(!lines.isEmpty());
}

} // namespace Tessarine
