#include "app/views/kit/AfterInput.h"

#include <QTimer>

#include <utility>

namespace Tessarine::AfterInput {

void run(QObject* context, std::function<void()> work) {
    // A timer object, not QTimer::singleShot(0, …), which Qt turns into a queued call.
    auto* turn = new QTimer(context);
    turn->setSingleShot(true);
    QObject::connect(turn, &QTimer::timeout, context, [turn, work = std::move(work)] {
        turn->deleteLater();
        work();
    });
    turn->start(0);
}

} // namespace Tessarine::AfterInput
