#include "app/base/StallWatch.h"

#include <QCoreApplication>

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "app/base/Logging.h"
#include "app/base/ThreadSampler.h"
#include "testkit/Fmt.h"

namespace Tessarine {

namespace ThreadState = RorozErurEvo::ThreadState;
using Steady = std::chrono::steady_clock;

namespace {

// How often the window's thread beats, and the watch looks.
constexpr auto beatEvery = std::chrono::milliseconds(5);
// Samples of one wait taken at the pace `late` sets; past them, one a tenth as often, so a
// wait of seconds leaves tens of lines rather than hundreds.
constexpr std::size_t closeSamples = 20;
// How long the first sample of a wait waits for the stack of a busy thread of lower priority,
// which may hold a lock the watched thread waits for while it waits for a core itself.
constexpr auto lowerStackWait = std::chrono::milliseconds(500);

QString ms(double value) { return QString::fromStdString(RorozErurEvo::Fmt::trim(value, 1)); }

double msBetween(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

} // namespace

struct StallWatch::Shared {
    std::chrono::milliseconds late{};
    ThreadSampler sampler; // made on the watched thread
    std::atomic<Steady::rep> lastBeat{Steady::now().time_since_epoch().count()};
    std::mutex lock;
    std::condition_variable changed;
    bool stopping = false;
    std::thread watcher;
    int lateCount = 0;
    double longestMs = 0;

    struct Sampled {
        double atMs = 0;
        ThreadSampler::Sample sample;
    };

    Steady::time_point beat() const { return Steady::time_point(Steady::duration(lastBeat.load())); }
    void watch();
    void watchUntilStopped();
    // Waits `pause`; false when stopping.
    bool rest(Steady::duration pause);
    std::vector<Sampled> sampleUntilBeat(Steady::time_point since, Steady::time_point due);
    void stop();
    void log(double waitedMs, const ThreadState::Reading& before, const ThreadState::Reading& after,
             const std::vector<Sampled>& samples);
};

StallWatch::StallWatch(std::chrono::milliseconds late) : shared_(std::make_shared<Shared>()) {
    shared_->late = late;
    beat_.setTimerType(Qt::PreciseTimer);
    beat_.setInterval(beatEvery);
    QObject::connect(&beat_, &QTimer::timeout, [shared = shared_.get()] {
        shared->lastBeat.store(Steady::now().time_since_epoch().count());
    });
    beat_.start();
    shared_->watcher = std::thread([shared = shared_] { shared->watch(); });
    // The loop's end is the watch's: after it nothing beats.
    if (auto* app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, &beat_, [this] { stop(); });
}

StallWatch::~StallWatch() { stop(); }

void StallWatch::stop() {
    beat_.stop();
    shared_->stop();
    if (shared_->watcher.joinable()) shared_->watcher.join();
}

void StallWatch::Shared::stop() {
    {
        std::lock_guard guard(lock);
        stopping = true;
    }
    changed.notify_all();
}

std::optional<std::chrono::milliseconds> StallWatch::lateFromEnvironment() {
    if (!qEnvironmentVariableIsSet("TESSARINE_STALL_WATCH_MS")) return std::nullopt;
    bool ok = false;
    const int value = qEnvironmentVariableIntValue("TESSARINE_STALL_WATCH_MS", &ok);
    if (ok && value >= 1 && value <= 10000) return std::chrono::milliseconds(value);
    qCWarning(logViews).noquote() << "TESSARINE_STALL_WATCH_MS is not a number of milliseconds from 1 to 10000;"
                                     " the window's thread is not watched";
    return std::nullopt;
}

void StallWatch::Shared::watch() {
    pthread_setname_np(pthread_self(), "StallWatch");
    sampler.setWatcher();
    watchUntilStopped();
    qCInfo(logViews).noquote() << QStringLiteral("window's thread: %1 waits longer than %2 ms, the longest %3 ms")
                                      .arg(lateCount)
                                      .arg(late.count())
                                      .arg(ms(longestMs));
}

void StallWatch::Shared::watchUntilStopped() {
    Steady::time_point seen = beat();
    ThreadState::Reading atBeat = sampler.reading();
    while (rest(beatEvery)) {
        const Steady::time_point last = beat();
        if (last != seen) {
            // The thread as it was about the last beat, for what it did in a wait after it.
            seen = last;
            atBeat = sampler.reading();
            continue;
        }
        // A wait counts from the beat that should have come after the last.
        if (Steady::now() - last < late + beatEvery) continue;
        const Steady::time_point due = last + beatEvery;
        const auto samples = sampleUntilBeat(last, due);
        if (samples.empty()) return; // stopping
        log(msBetween(due, beat()), atBeat, sampler.reading(), samples);
        const Steady::time_point next = beat();
        seen = next;
        atBeat = sampler.reading();
    }
}

bool StallWatch::Shared::rest(Steady::duration pause) {
    std::unique_lock guard(lock);
    return !changed.wait_for(guard, pause, [this] { return stopping; });
}

// Samples the thread until it beats after `since`, each sample timed from `due`; nothing when
// stopping first.
std::vector<StallWatch::Shared::Sampled> StallWatch::Shared::sampleUntilBeat(Steady::time_point since, Steady::time_point due) {
    std::vector<Sampled> samples;
    // The other threads' times count from the first sample.
    const auto others = sampler.othersNow();
    while (beat() == since) {
        const double atMs = msBetween(due, Steady::now());
        samples.push_back({atMs, sampler.sample(late / 2, samples.empty() ? lowerStackWait : late / 2, others)});
        const auto pace = samples.size() < closeSamples ? late / 2 : late * 5;
        // Looks for the beat every few milliseconds meanwhile, so that the wait ends on time.
        for (auto until = Steady::now() + pace; beat() == since && Steady::now() < until;)
            if (!rest(beatEvery)) return {};
    }
    return samples;
}

void StallWatch::Shared::log(double waitedMs, const ThreadState::Reading& before, const ThreadState::Reading& after,
                             const std::vector<Sampled>& samples) {
    ++lateCount;
    longestMs = std::max(longestMs, waitedMs);
    const QString head = QStringLiteral("window's thread: late answer %1").arg(lateCount);
    qCInfo(logViews).noquote() << head + QStringLiteral(": after %1 ms; %2")
                                             .arg(ms(waitedMs), QString::fromStdString(ThreadState::stretch(before, after, waitedMs)));
    const QStringList* previous = nullptr;
    for (const auto& [atMs, sample] : samples) {
        const QString stack = sample.stack.isEmpty()                  ? QStringLiteral("not taken in time")
                              : previous && *previous == sample.stack ? QStringLiteral("as before")
                                                                      : sample.stack.join(QStringLiteral(" < "));
        if (!sample.stack.isEmpty()) previous = &sample.stack;
        const QString where = QStringLiteral("%1 at %2 ms").arg(head, ms(atMs));
        qCInfo(logViews).noquote()
            << where + QStringLiteral(": state %1, %2, wait channel %3; so far %4; stack: %5")
                           .arg(QString(QLatin1Char(sample.reading.state)), sample.call,
                                sample.waitChannel.isEmpty() ? QStringLiteral("none") : sample.waitChannel,
                                QString::fromStdString(ThreadState::ran(before, sample.reading)), stack);
        for (const QString& other : sample.others) qCInfo(logViews).noquote() << where + QStringLiteral(", busy: ") + other;
    }
}

} // namespace Tessarine
