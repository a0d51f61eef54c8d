#pragma once
// The "All Devices" view: every connected device as a card in one grid, the batch drift test on
// all of them at once, a session saved for each device with results, and one PDF report of them
// all. The header follows the batch runner: "Drift Test All", "Save All…" and "PDF for All…"
// while it is idle; its progress, prompt and "Cancel" (Escape) while it runs.
//
// The view keeps only the stage that "Save All…" last used (for as long as it lives); everything
// else comes from the model.
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/views/batch/BatchStageDialog.h"
#include "testkit/TestSession.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace Tessarine {

class AdaptiveGridLayout;
class BatchCard;
class BatchRunner;
class DeviceLists;
class InputDevice;
class Navigation;
class SessionCommands;

class BatchView : public QWidget {
    Q_OBJECT

public:
    // Narrowest column of the grid of cards, and the space between columns and rows, pixels.
    static constexpr int columnMinimum = 260;
    static constexpr int gridSpacing = 12;

    // Asks for the stage of "Save All…" over `parent`, starting from `stage`. Tests answer it.
    using StagePrompt = std::function<BatchStageDialog::Answer(QWidget* parent, const QString& stage)>;

    BatchView(DeviceLists& lists, Navigation& navigation, BatchRunner& batch, SessionCommands& commands, StagePrompt prompt = BatchStageDialog::ask,
              QWidget* parent = nullptr);

    // The devices shown: the listed devices that are connected, in the lists' order.
    static std::vector<std::shared_ptr<InputDevice>> shownDevices(const DeviceLists& lists);
    // The report's sessions: one per shown device, as saving would build it, for the devices
    // with results.
    static std::vector<RorozErurEvo::TestSession> reportSessions(const DeviceLists& lists,
                                                                 const SessionCommands& commands);

    // "Save All…": asks for the stage, then saves.
    void askStage();
    // Saves a session labelled `stage` for every shown device with results. When any save
    // fails, the toast that stays is the first failure, not a later success.
    void saveAll(const QString& stage);
    // "PDF for All…": one report of every shown device with results; nothing without results.
    void exportAllPDF();

    const QString& stage() const { return stage_; }
    QLabel* countLabel() const { return count_; }
    QPushButton* driftButton() const { return drift_; }
    QPushButton* saveAllButton() const { return saveAll_; }
    QPushButton* pdfButton() const { return pdf_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* promptLabel() const { return prompt_; }
    QPushButton* cancelButton() const { return cancel_; }
    // The cards in grid order.
    std::vector<BatchCard*> cards() const;
    BatchCard* card(const std::string& deviceID) const;

    // Rebuilds the grid when the shown devices change.
    void rebuild();
    // Follows the batch runner.
    void refreshHeader();

private:
    void followDevices();

    DeviceLists& lists_;
    Navigation& navigation_;
    BatchRunner& batch_;
    SessionCommands& commands_;
    StagePrompt ask_;
    QString stage_;
    QLabel* count_;
    QWidget* idle_;
    QPushButton* drift_;
    QPushButton* saveAll_;
    QPushButton* pdf_;
    QWidget* running_;
    QProgressBar* progress_;
    QLabel* prompt_;
    QPushButton* cancel_;
    QWidget* page_;
    AdaptiveGridLayout* grid_;
    std::vector<std::shared_ptr<InputDevice>> shown_;
    std::map<std::string, BatchCard*> cards_;
    std::vector<QMetaObject::Connection> deviceLinks_;
};

} // namespace Tessarine
