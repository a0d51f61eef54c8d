#include "app/network/NetworkFeedFetcher.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace Tessarine {

void NetworkFeedFetcher::fetch(Method method, const QUrl& url, int timeoutMs,
                               std::function<void(const FeedAnswer&)> done) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = method == Method::head ? network_.head(request) : network_.get(request);
    // The manager is the context: a reply still running when the fetcher goes never calls back.
    QObject::connect(reply, &QNetworkReply::finished, &network_, [reply, done = std::move(done)] {
        reply->deleteLater();
        FeedAnswer answer;
        answer.networkError = reply->error() != QNetworkReply::NoError;
        if (const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute); status.isValid())
            answer.status = status.toInt();
        answer.errorText = reply->errorString();
        answer.body = reply->readAll();
        done(answer);
    });
}

} // namespace Tessarine
