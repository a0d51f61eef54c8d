#pragma once
// The update check, the application's only network use, and only when an update feed address is
// configured (the setting "updateFeedURL"; empty by default, and then nothing goes on the network).
//
// Interactive check ("Check for Updates…"):
//   no feed ──▶ "updates are not set up" alert
//   feed ──HEAD (15 s)──▶ 404/410: up-to-date alert │ 2xx/405/501: read the feed │ else: failure alert
//   read the feed ──▶ newest item newer than this version: offer it │ otherwise: up-to-date alert
// Scheduled check: the same reading once a day while a feed is set; it says something only when
// a newer version exists.
// The requests go through a fetcher made when the first one is sent: by default from the network
// module (NetworkModule.h); a module that cannot be loaded fails the check and says why.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <optional>

#include "app/model/FeedFetcher.h"

namespace Tessarine {

// How the update check speaks to the user; the application shows dialogs, tests record.
class UpdatePresenter {
public:
    virtual ~UpdatePresenter() = default;
    virtual void showAlert(const QString& title, const QString& message) = 0;
    // A newer version: the alert offers to open `link` in the browser.
    virtual void offerUpdate(const QString& title, const QString& message, const QUrl& link) = 0;
};

class Updater : public QObject {
    Q_OBJECT
public:
    enum class FeedProbe { reachable, upToDate, failed };
    struct FeedItem {
        QString version;
        QUrl link;
        friend bool operator==(const FeedItem&, const FeedItem&) = default;
    };

    static constexpr int probeTimeoutMs = 15000;         // the HEAD request's time-out
    static constexpr int firstScheduledCheckMs = 60000;  // after start, before the first quiet check
    static constexpr int scheduleIntervalMs = 86400000;  // a day between quiet checks

    // `makeFetcher`: where the requests go; none: the network module's (NetworkModule::factory()).
    Updater(QUrl feed, QString appName, QString appVersion, std::shared_ptr<UpdatePresenter> presenter,
            FeedFetcherFactory makeFetcher = {}, QObject* parent = nullptr);
    ~Updater() override;

    const QUrl& feed() const { return feed_; }
    bool checking() const { return checking_; }
    // The menu's check; a second request while one runs is ignored.
    void checkForUpdates();
    // The scheduled check: reads the feed and speaks only of a newer version.
    void checkQuietly();
    // Starts the daily quiet checks; nothing without a feed.
    void startScheduledChecks();
    bool scheduled() const { return schedule_.isActive(); }

    // What the HEAD request's answer means.
    static FeedProbe probeOutcome(bool networkError, std::optional<int> status);
    // The newest item of an RSS update feed: the greatest version among its items, each carrying a
    // version and a download link (an enclosure's url, or the item's link).
    static std::optional<FeedItem> newestItem(const QByteArray& feed);
    // Compares dotted versions number by number ("1.10" is newer than "1.9"); negative, 0, positive.
    static int compareVersions(const QString& a, const QString& b);

    QString upToDateMessage() const;
    QString failedMessage() const;

    static QString appNameFromApplication();

signals:
    void checkingChanged();

private:
    void setChecking(bool value);
    // The fetcher, made on first use; null when it cannot be made, and then `error` says why.
    FeedFetcher* fetcher(QString& error);
    // The alert of a check that could not be sent: `error` is why.
    void showUnsent(const QString& error);
    void probeFinished(const FeedAnswer& answer);
    void readFeed(bool interactive);
    void feedRead(const FeedAnswer& answer, bool interactive);

    QUrl feed_;
    QString appName_;
    QString appVersion_;
    std::shared_ptr<UpdatePresenter> presenter_;
    FeedFetcherFactory makeFetcher_;
    std::unique_ptr<FeedFetcher> fetcher_;
    bool checking_ = false;
    bool reading_ = false;
    QTimer schedule_;
};

} // namespace Tessarine
