#pragma once
// What the program says of itself: on its reports, in its About panel and in the files it saves.
#include <QString>

namespace Tessarine {

struct AppInfo {
    QString version;   // as the program's entry set it; "1.0" when it set none
    QString scopeNote; // what the measurements cover and what they do not

    // This program's.
    static AppInfo current();
};

} // namespace Tessarine
