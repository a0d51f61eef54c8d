#pragma once
// The update check's network part, "tessarine-network.so", loaded when a check first needs it:
// linked into the program, Qt Network and the Kerberos and proxy libraries it needs would be
// mapped before the window could show, in a program that by default never uses the network.
//
// It is looked for beside the program (a build folder) and in ../lib/tessarine from the program's
// folder (an installed package). Loaded once, it stays loaded.
#include <QString>
#include <QStringList>

#include "app/model/FeedFetcher.h"

namespace Tessarine::NetworkModule {

inline constexpr const char* fileName = "tessarine-network.so";
// The function the module exports; it returns a new fetcher the caller owns.
inline constexpr const char* entry = "tessarineMakeFeedFetcher";

// Where the module is looked for, in order, for a program in `programFolder`.
QStringList files(const QString& programFolder);

// Makes fetchers from the first of `files` that exists; when there is none, the error names the
// files looked for, and when it cannot be loaded, gives the loader's reason.
FeedFetcherFactory factory(QStringList files);

// The application's: files() of the running program's folder.
FeedFetcherFactory factory();

} // namespace Tessarine::NetworkModule
