#include "app/model/Updater.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QVersionNumber>
#include <QXmlStreamReader>

#include "app/devices/Logging.h"

namespace Tessarine {

namespace {
const QString upToDateTitle = QStringLiteral("You’re up to date");
const QString failedTitle = QStringLiteral("Couldn’t check for updates");

QNetworkRequest feedRequest(const QUrl& feed) {
    QNetworkRequest request(feed);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(Updater::probeTimeoutMs);
    return request;
}

std::optional<int> statusOf(QNetworkReply* reply) {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) return std::nullopt;
    return status.toInt();
}
} // namespace

Updater::Updater(QUrl feed, QString appName, QString appVersion, std::shared_ptr<UpdatePresenter> presenter,
                 QObject* parent)
    : QObject(parent), feed_(std::move(feed)), appName_(std::move(appName)), appVersion_(std::move(appVersion)),
      presenter_(std::move(presenter)), network_(new QNetworkAccessManager(this)) {
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

void Updater::checkForUpdates() {
    if (checking_ || reading_) return;
    if (feed_.isEmpty()) {
        presenter_->showAlert(QStringLiteral("Updates aren’t set up"),
                              QStringLiteral("This build of %1 has no update address, so it doesn’t check for "
                                             "updates.")
                                  .arg(appName_));
        return;
    }
    setChecking(true);
    QNetworkReply* reply = network_->head(feedRequest(feed_));
    connect(reply, &QNetworkReply::finished, this, [this, reply] { probeFinished(reply); });
}

void Updater::probeFinished(QNetworkReply* reply) {
    reply->deleteLater();
    const FeedProbe outcome = probeOutcome(reply->error() != QNetworkReply::NoError, statusOf(reply));
    if (outcome == FeedProbe::failed)
        qCWarning(logModel) << "Update check failed:" << reply->errorString() << statusOf(reply).value_or(0);
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
    reading_ = true;
    QNetworkReply* reply = network_->get(feedRequest(feed_));
    connect(reply, &QNetworkReply::finished, this, [this, reply, interactive] { feedRead(reply, interactive); });
}

void Updater::feedRead(QNetworkReply* reply, bool interactive) {
    reply->deleteLater();
    reading_ = false;
    const auto status = statusOf(reply);
    if (reply->error() != QNetworkReply::NoError || !status || *status < 200 || *status > 299) {
        qCWarning(logModel) << "Couldn't read the update feed:" << reply->errorString();
        if (interactive) presenter_->showAlert(failedTitle, failedMessage());
        return;
    }
    const auto newest = newestItem(reply->readAll());
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
