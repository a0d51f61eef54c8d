#include "app/views/Destinations.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/devices/InputDevice.h"
#include "app/views/DeviceRow.h"
#include "app/views/EmptyState.h"
#include "app/views/KeyboardTesterView.h"
#include "app/views/MouseTesterView.h"

namespace Tessarine {

namespace {

QWidget* notYet(const QString& objectName, const QString& title, const QString& symbol, const QString& description) {
    auto* view = new EmptyState(title, symbol, description);
    view->setObjectName(objectName);
    return view;
}

QDialog* saveSheetNotYet(const std::shared_ptr<InputDevice>& device, QWidget* parent) {
    auto* sheet = new QDialog(parent);
    sheet->setObjectName(QStringLiteral("save-session-sheet"));
    sheet->setWindowTitle(QStringLiteral("Save Session"));
    auto* layout = new QVBoxLayout(sheet);
    layout->addWidget(new QLabel(QStringLiteral("Saving a session of %1 is not available in this version.")
                                     .arg(QString::fromStdString(device->info().name))));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QObject::connect(buttons, &QDialogButtonBox::rejected, sheet, &QDialog::reject);
    layout->addWidget(buttons);
    return sheet;
}

} // namespace

Destinations Destinations::standard() {
    Destinations d;
    d.device = [](AppModel&, const std::shared_ptr<InputDevice>& device) {
        return notYet(QStringLiteral("device-view"), QString::fromStdString(device->info().name),
                      DeviceRow::kindSymbol(device->kind()),
                      QStringLiteral("The bench and live views of a device are not available in this version."));
    };
    d.keyboard = [](AppModel& model) { return new KeyboardTesterView(model); };
    d.mouse = [](AppModel& model) { return new MouseTesterView(model); };
    d.batch = [](AppModel&) {
        return notYet(QStringLiteral("batch-view"), QStringLiteral("All Devices"), QStringLiteral("square.grid.2x2"),
                      QStringLiteral("Testing all devices together is not available in this version."));
    };
    d.history = [](AppModel&) {
        return notYet(QStringLiteral("history-view"), QStringLiteral("History"), QStringLiteral("clock.arrow.circlepath"),
                      QStringLiteral("The session history is not available in this version."));
    };
    d.saveSheet = [](AppModel&, const std::shared_ptr<InputDevice>& device, QWidget* parent) {
        return saveSheetNotYet(device, parent);
    };
    return d;
}

} // namespace Tessarine
