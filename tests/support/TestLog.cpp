#include "TestLog.h"

#include <QLoggingCategory>
#include <QtGlobal>

#include <algorithm>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

namespace Tessarine::TestLog {

namespace {

// Every category of the application starts with this.
constexpr const char* ownPrefix = "tessarine.";

} // namespace

// Messages may come from any thread (the device threads warn too), so the expectations are
// guarded by one mutex.
struct Registry {
    std::mutex lock;
    std::vector<ExpectedWarnings*> active;
    std::vector<CapturedMessages*> captures;
    QtMessageHandler previous = nullptr;

    static Registry& shared() {
        static Registry registry;
        return registry;
    }

    // True when an expectation took the message.
    bool take(const QString& category, const QString& text) {
        std::lock_guard guard(lock);
        for (auto it = active.rbegin(); it != active.rend(); ++it) {
            ExpectedWarnings& e = **it;
            if (e.category_ == category && (e.fragment_.isEmpty() || text.contains(e.fragment_))) {
                ++e.count_;
                return true;
            }
        }
        return false;
    }

    void capture(const QString& category, const QString& text) {
        std::lock_guard guard(lock);
        for (CapturedMessages* c : captures)
            if (c->category_ == category) c->messages_.push_back(text);
    }

    // Debug messages of the captured categories are on while any capture is alive.
    void applyRules() {
        QStringList rules;
        for (const CapturedMessages* c : captures) rules << c->category_ + QStringLiteral(".debug=true");
        QLoggingCategory::setFilterRules(rules.join(u'\n'));
    }

    int count(const ExpectedWarnings& e) {
        std::lock_guard guard(lock);
        return e.count_;
    }
};

namespace {

void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    Registry& registry = Registry::shared();
    const QString category = QString::fromUtf8(context.category ? context.category : "");
    const bool own = category.startsWith(QLatin1String(ownPrefix));
    const bool serious = type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg;
    if (own) registry.capture(category, text);
    if (own && serious && !registry.take(category, text)) {
        ADD_FAILURE() << "unexpected warning [" << category.toStdString() << "] " << text.toStdString();
    }
    if (registry.previous) registry.previous(type, context, text);
}

} // namespace

void install() {
    // Qt builds its message pattern the first time a message is formatted, behind a lock inside a
    // library the thread checker cannot see into. Formatting one here, before any test starts a
    // thread, keeps two threads' first messages from reading as a race on it.
    (void)qFormatLogMessage(QtDebugMsg, QMessageLogContext(), QString());
    Registry::shared().previous = qInstallMessageHandler(handle);
}

ExpectedWarnings::ExpectedWarnings(QString category, QString fragment)
    : category_(std::move(category)), fragment_(std::move(fragment)) {
    Registry& registry = Registry::shared();
    std::lock_guard guard(registry.lock);
    registry.active.push_back(this);
}

ExpectedWarnings::~ExpectedWarnings() {
    Registry& registry = Registry::shared();
    std::lock_guard guard(registry.lock);
    registry.active.erase(std::remove(registry.active.begin(), registry.active.end(), this), registry.active.end());
}

int ExpectedWarnings::count() const {
    return Registry::shared().count(*this);
}

} // namespace Tessarine::TestLog

namespace Tessarine::TestLog {

CapturedMessages::CapturedMessages(QString category) : category_(std::move(category)) {
    Registry& registry = Registry::shared();
    std::lock_guard guard(registry.lock);
    registry.captures.push_back(this);
    registry.applyRules();
}

CapturedMessages::~CapturedMessages() {
    Registry& registry = Registry::shared();
    std::lock_guard guard(registry.lock);
    std::erase(registry.captures, this);
    registry.applyRules();
}

QStringList CapturedMessages::messages() const {
    Registry& registry = Registry::shared();
    std::lock_guard guard(registry.lock);
    return messages_;
}

} // namespace Tessarine::TestLog
