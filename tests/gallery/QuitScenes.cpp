// Scenes of the wait that Quit shows while session writes are still on their way to the disk:
// one save, and several saves and a delete, which the loss line names and counts.
#include <QVBoxLayout>

#include "Gallery.h"
#include "app/model/QuitWait.h"
#include "app/model/SessionLibrary.h"
#include "app/views/shell/QuitWaitDialog.h"
#include "support/HeldWorker.h"
#include "support/ManualExecutor.h"
#include "support/ManualTimers.h"
#include "testkit/SessionArchive.h"
#include "testkit/TestSession.h"

namespace Tessarine {
namespace {

using Saves = std::vector<std::pair<std::string, std::string>>;

// The dialog over a library whose writes the disk still holds; the dialog goes first.
class QuitHost final : public QWidget {
public:
    explicit QuitHost(const Saves& saves, bool deleteOne = false) {
        library_.useBackground(disk_, executor_);
        for (const auto& [unit, label] : saves) {
            RorozErurEvo::TestSession session;
            session.id = RorozErurEvo::Uuid::random();
            session.unit = unit;
            session.label = label;
            library_.saveInBackground(session);
        }
        if (deleteOne) {
            RorozErurEvo::TestSession listed;
            listed.id = RorozErurEvo::Uuid::random();
            listed.unit = "SN-0815";
            listed.label = "Intake";
            library_.setSessions({listed});
            library_.removeInBackground(listed.id);
        }
        auto* dialog = new QuitWaitDialog(wait_, nullptr);
        dialog->setWindowFlags(Qt::Widget);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(dialog);
    }
    ~QuitHost() override { qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)); }

private:
    HeldWorker disk_;
    std::shared_ptr<ManualExecutor> executor_ = std::make_shared<ManualExecutor>();
    // Never written: the disk holds every write.
    SessionLibrary library_{RorozErurEvo::SessionArchive{"/nonexistent/tessarine-gallery/Sessions"}};
    ManualTimers timers_;
    QuitWait wait_{library_, Clock::system(), timers_.factory()};
};

const bool quitScenesAdded = Gallery::add({
    {"quit-wait-one-save", {}, [] { return std::make_unique<QuitHost>(Saves{{"SN-4411", "Before repair"}}); }},
    {"quit-wait-several", {},
     [] {
         return std::make_unique<QuitHost>(
             Saves{{"SN-4411", "Before repair"}, {"SN-4412", "After repair"}, {"TK-20931", ""}, {"SN-7", "Resale check"}}, true);
     }},
});

} // namespace
} // namespace Tessarine
