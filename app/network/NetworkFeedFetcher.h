#pragma once
// The update check's HTTP requests through Qt Network. Built into the module
// "tessarine-network" (Module.cpp) that the program loads when it first checks, and linked
// directly by the tests.
#include <QNetworkAccessManager>

#include "app/model/FeedFetcher.h"

namespace Tessarine {

class NetworkFeedFetcher final : public FeedFetcher {
public:
    void fetch(Method method, const QUrl& url, int timeoutMs, std::function<void(const FeedAnswer&)> done) override;

private:
    QNetworkAccessManager network_;
};

} // namespace Tessarine
