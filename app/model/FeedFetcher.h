#pragma once
// What the update check asks of the network: one HTTP request for its feed, answered on the
// thread that asked. The network library is no part of the program as it starts: the fetcher
// comes from a module loaded when the first check runs (NetworkModule.h).
#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

namespace Tessarine {

struct FeedAnswer {
    bool networkError = false;
    std::optional<int> status; // the HTTP status, when a server answered
    QString errorText;         // what went wrong, for the log
    QByteArray body;
};

class FeedFetcher {
public:
    enum class Method { head, get };
    virtual ~FeedFetcher() = default;
    // Asks for `url`, never from a cache, and gives up after `timeoutMs` without progress.
    // `done` runs once, on this thread's event loop, unless the fetcher is destroyed first.
    virtual void fetch(Method method, const QUrl& url, int timeoutMs, std::function<void(const FeedAnswer&)> done) = 0;
};

// A fetcher, or why there is none.
struct MadeFetcher {
    std::unique_ptr<FeedFetcher> fetcher;
    QString error;
};
using FeedFetcherFactory = std::function<MadeFetcher()>;

} // namespace Tessarine
