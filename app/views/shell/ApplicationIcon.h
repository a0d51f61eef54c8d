#pragma once
// The window icon where the window system takes one from the program (X11): the icon theme's,
// else the package's own sizes in the data folders.
//
// Searching the icon themes and decoding the images takes milliseconds, which a window that has
// just opened should spend answering input: the search and the decoding run on a worker that yields
// to the window, and the main thread only turns the images into the icon. The icon is
// the one the toolkit's own theme lookup gives; where only that lookup can draw it as the toolkit
// would (a scalable image in a size no fixed image has), the main thread asks the toolkit instead.
#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace Tessarine {
class BackgroundWorker;
}

namespace Tessarine::ApplicationIcon {

// The theme settings, read on the main thread.
struct Where {
    QString theme;
    QString fallbackTheme;
    QStringList themeFolders;
    QStringList fallbackFolders;
};
Where current();

struct Found {
    std::vector<QImage> images;  // decoded, in the toolkit's order
    bool askToolkit = false;     // only the toolkit's lookup gives the icon as it would be drawn
};
// On any thread: the theme's files of `name`, else the package's own sizes in the data folders.
Found find(const QString& name, const Where& where);

// On the main thread.
QIcon make(const QString& name, const Found& found);

// Searches on `worker` and hands the icon to `take` on the thread of `context`, unless
// `context` is gone by then.
void lookUp(const QString& name, BackgroundWorker& worker, QObject* context, std::function<void(const QIcon&)> take);

} // namespace Tessarine::ApplicationIcon
