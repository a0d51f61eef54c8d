// The entry of the module "tessarine-network", which the program loads by path
// (app/model/NetworkModule.cpp) when it first checks for updates.
#include <QtGlobal>

#include "app/network/NetworkFeedFetcher.h"

extern "C" Q_DECL_EXPORT Tessarine::FeedFetcher* tessarineMakeFeedFetcher() { return new Tessarine::NetworkFeedFetcher; }
