#include "app/model/Updater.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QVersionNumber>
#include <QXmlStreamReader>

#include "app/base/Logging.h"
#include "app/model/NetworkModule.h"

namespace Tessarine {

namespace {
const QString upToDateTitle = QStringLiteral("You’re up to date");
const QString failedTitle = QStringLiteral("Couldn’t check for updates");
} // namespace

Updater::Updater(QUrl feed, QString appName, QString appVersion, std::shared_ptr<UpdatePresenter> presenter,
                 FeedFetcherFactory makeFetcher, QObject* parent)
    : QObject(parent), feed_(std::move(feed)), appName_(std::move(appName)), appVersion_(std::move(appVersion)),
      presenter_(std::move(presenter)),
      makeFetcher_(makeFetcher ? std::move(makeFetcher) : NetworkModule::factory()) {
    schedule_.setSingleShot(false);
    connect(&schedule_, &QTimer::timeout, this, [this] {
        schedule_.setInterval(scheduleIntervalMs);
        checkQuietly();
    });
}

Updater::~Updater() = default;

QString Updater::appNameFromApplication() {
    if (QString name = QGuiApplication::applicationDisplayName(); !name.isEmpty()) return name;
    if (QString name = QCoreApplication::applicationName(); !name.isEmpty()) return name;
    return QStringLiteral("This app");
}

QString Updater::upToDateMessage() const {
    return QStringLiteral("%1 %2 is the newest version. %1 checks for updates on its own and will let you know when "
                          "there’s a new one.")
        .arg(appName_, appVersion_);
}

QString Updater::failedMessage() const {
    return QStringLiteral("Check your internet connection and try again. %1 also checks on its own about once a day.")
        .arg(appName_);
}

Updater::FeedProbe Updater::probeOutcome(bool networkError, std::optional<int> status) {
    if (!status) return FeedProbe::failed;
    const int code = *status;
    if (code == 404 || code == 410) return FeedProbe::upToDate;
    if ((code >= 200 && code <= 299) || code == 405 || code == 501) return FeedProbe::reachable;
    (void)networkError; // an error status still tells what the server answered
    return FeedProbe::failed;
}

int Updater::compareVersions(const QString& a, const QString& b) {
    return QVersionNumber::compare(QVersionNumber::fromString(a.trimmed()).normalized(),
                                   QVersionNumber::fromString(b.trimmed()).normalized());
}

std::optional<Updater::FeedItem> Updater::newestItem(const QByteArray& feed) {
    QXmlStreamReader xml(feed);
    std::optional<FeedItem> newest;
    std::optional<FeedItem> item;
    auto versionAttribute = [](const QXmlStreamAttributes& attributes) {
        for (const auto& attribute : attributes)
            if (attribute.name() == u"shortVersionString") return attribute.value().toString();
        for (const auto& attribute : attributes)
            if (attribute.name() == u"version") return attribute.value().toString();
        return QString();
    };
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const auto name = xml.name();
            if (name == u"item") {
                item = FeedItem{};
            } else if (item && name == u"enclosure") {
                if (QString version = versionAttribute(xml.attributes()); !version.isEmpty()) item->version = version;
                if (QString url = xml.attributes().value(QStringLiteral("url")).toString(); !url.isEmpty()) item->link = QUrl(url);
            } else if (item && (name == u"shortVersionString" || name == u"version")) {
                QString version = xml.readElementText().trimmed();
                if (!version.isEmpty() && (name == u"shortVersionString" || item->version.isEmpty()))
                    item->version = version;
            } else if (item && name == u"link" && item->link.isEmpty()) {
                item->link = QUrl(xml.readElementText().trimmed());
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"item" && item) {
            const bool usable = !QVersionNumber::fromString(item->version).isNull() && item->link.isValid() &&
                                !item->link.isEmpty();
            if (usable && (!newest || compareVersions(item->version, newest->version) > 0)) newest = item;
            item.reset();
        }
    }
    if (xml.hasError()) qCWarning(logModel) << "The update feed is not well-formed:" << xml.errorString();
    return newest;
}

void Updater::setChecking(bool value) {
    if (checking_ == value) return;
    checking_ = value;
    emit checkingChanged();
}

FeedFetcher* Updater::fetcher(QString& error) {
    // A failure is not kept: the next check tries again.
    if (!fetcher_) {
        MadeFetcher made = makeFetcher_();
        fetcher_ = std::move(made.fetcher);
        error = made.error;
    }
    return fetcher_.get();
}

void Updater::showUnsent(const QString& error) {
    presenter_->showAlert(failedTitle, QStringLiteral("%1 couldn’t load its network part: %2.").arg(appName_, error));
}

void Updater::checkForUpdates() {
    if (checking_ || reading_) return;
    if (feed_.isEmpty()) {
        presenter_->showAlert(QStringLiteral("Updates aren’t set up"),
                              QStringLiteral("This build of %1 has no update address, so it doesn’t check for "
                                             "updates.")
                                  .arg(appName_));
        return;
    }
    QString error;
    FeedFetcher* network = fetcher(error);
    if (!network) {
        qCWarning(logModel).noquote() << "Update check failed:" << error;
        showUnsent(error);
        return;
    }
    setChecking(true);
    network->fetch(FeedFetcher::Method::head, feed_, probeTimeoutMs,
                   [this](const FeedAnswer& answer) { probeFinished(answer); });
}

void Updater::probeFinished(const FeedAnswer& answer) {
    const FeedProbe outcome = probeOutcome(answer.networkError, answer.status);
    if (outcome == FeedProbe::failed)
        qCWarning(logModel) << "Update check failed:" << answer.errorText << answer.status.value_or(0);
    // The menu works again before anything is shown.
    setChecking(false);
    switch (outcome) {
    case FeedProbe::reachable: readFeed(true); break;
    case FeedProbe::upToDate: presenter_->showAlert(upToDateTitle, upToDateMessage()); break;
    case FeedProbe::failed: presenter_->showAlert(failedTitle, failedMessage()); break;
    }
}

void Updater::readFeed(bool interactive) {
    if (feed_.isEmpty() || reading_) return;
    QString error;
    FeedFetcher* network = fetcher(error);
    if (!network) {
        qCWarning(logModel).noquote() << "Couldn't read the update feed:" << error;
        if (interactive) showUnsent(error);
        return;
    }
    reading_ = true;
    network->fetch(FeedFetcher::Method::get, feed_, probeTimeoutMs,
                   [this, interactive](const FeedAnswer& answer) { feedRead(answer, interactive); });
}

void Updater::feedRead(const FeedAnswer& answer, bool interactive) {
    reading_ = false;
    const auto status = answer.status;
    if (answer.networkError || !status || *status < 200 || *status > 299) {
        qCWarning(logModel) << "Couldn't read the update feed:" << answer.errorText;
        if (interactive) presenter_->showAlert(failedTitle, failedMessage());
        return;
    }
    const auto newest = newestItem(answer.body);
    if (newest && compareVersions(newest->version, appVersion_) > 0) {
        presenter_->offerUpdate(QStringLiteral("%1 %2 is available").arg(appName_, newest->version),
                                QStringLiteral("You have %1 %2.").arg(appName_, appVersion_), newest->link);
    } else if (interactive) {
        presenter_->showAlert(upToDateTitle, upToDateMessage());
    }
}

void Updater::checkQuietly() { readFeed(false); }

void Updater::startScheduledChecks() {
    if (feed_.isEmpty()) return;
    schedule_.start(firstScheduledCheckMs);
}

} // namespace Tessarine
