#include "app/views/shell/SidebarModel.h"

#include <QColor>

#include "app/model/AppModel.h"
#include "app/views/shell/DeviceRow.h"

namespace Tessarine {

const QString SidebarModel::emptyCaption = QStringLiteral("Plug in a wheel, pedals, a joystick or a USB adapter.");
const QString SidebarModel::skippedHelp =
    QStringLiteral("Not opened: it also acts as a keyboard or mouse, which needs Input Monitoring. Use the Keyboard or "
                   "Mouse tester for those.");

QString SidebarModel::skippedTooltip(const SkippedHID& skipped) {
    const QString node = QString::fromStdString(skipped.node);
    switch (skipped.why) {
    case SkippedHID::Why::keyboardOrMouse: return skippedHelp;
    case SkippedHID::Why::noDescriptor:
        return QStringLiteral("%1 opened, but its report descriptor couldn't be read.").arg(node);
    case SkippedHID::Why::openFailed:
        if (skipped.permission)
            return QStringLiteral("Couldn't open %1: %2. Your user may not read this device: install the udev rule "
                                  "described under \"Raw HID devices\" in the README, then plug it in again.")
                .arg(node, QString::fromStdString(skipped.cause));
        return QStringLiteral("Couldn't open %1: %2.").arg(node, QString::fromStdString(skipped.cause));
    }
    return {};
}

QString SidebarModel::controllerFailureCaption(const std::string& reason) {
    return QStringLiteral("Game controllers can't be read: %1").arg(QString::fromStdString(reason));
}

QString SidebarModel::hidFailureCaption(const std::string& reason) {
    return QStringLiteral("Raw HID reading stopped: %1").arg(QString::fromStdString(reason));
}

namespace {

// What a change of a device's runner or soak state redraws.
const QList<int> statusRoles{SidebarModel::StatusSymbolRole, SidebarModel::StatusColorRole,
                             SidebarModel::StatusLabelRole, Qt::AccessibleTextRole};

SidebarModel::Row header(const QString& title) { return {SidebarModel::RowType::header, title, {}, nullptr, {}, {}}; }

SidebarModel::Row destination(const QString& title, const QString& symbol, SidebarItem item) {
    // "All Devices" → "sidebar-all-devices".
    QString identifier = QStringLiteral("sidebar-") + title.toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
    return {SidebarModel::RowType::destination, title, symbol, nullptr, item, identifier};
}

} // namespace

SidebarModel::SidebarModel(AppModel& model, QObject* parent) : QAbstractListModel(parent), model_(model) {
    connect(&model_.deviceLists(), &DeviceLists::controllerDevicesChanged, this, &SidebarModel::rebuild);
    connect(&model_.deviceLists(), &DeviceLists::hidDevicesChanged, this, &SidebarModel::rebuild);
    connect(&model_.deviceLists(), &DeviceLists::skippedHIDChanged, this, &SidebarModel::rebuild);
    if (SoakRunner* soak = model_.soak()) {
        // A soak run marks its device; which device that is may change with it.
        auto marks = [this] { announce(nullptr, statusRoles); };
        connect(soak, &SoakRunner::runningChanged, this, marks);
        connect(soak, &SoakRunner::deviceIDChanged, this, marks);
    }
    rebuild();
}

void SidebarModel::rebuild() {
    beginResetModel();
    for (const auto& connection : watched_) disconnect(connection);
    watched_.clear();
    rows_.clear();

    rows_.push_back(header(QStringLiteral("Controllers")));
    auto addDevice = [this](const std::shared_ptr<InputDevice>& device) {
        if (!device) return;
        rows_.push_back({RowType::device, QString::fromStdString(device->info().name), DeviceRow::kindSymbol(device->kind()),
                         device, SidebarItem::device(device->id()), DeviceRow::identifier(*device)});
        watch(device);
    };
    if (!model_.deviceLists().controllerFailure().empty()) {
        const QString text = controllerFailureCaption(model_.deviceLists().controllerFailure());
        rows_.push_back({RowType::caption, text, QStringLiteral("exclamationmark.triangle.fill"), nullptr, {},
                         QStringLiteral("sidebar-controllers-failed"), text});
    }
    for (const auto& device : model_.controllerDevices()) addDevice(device);
    addDevice(model_.demo().device());

    rows_.push_back(header(QStringLiteral("Joysticks, wheels and adapters")));
    for (const auto& device : model_.deviceLists().hidDevices()) addDevice(device);
    if (!model_.deviceLists().hidFailure().empty()) {
        const QString text = hidFailureCaption(model_.deviceLists().hidFailure());
        rows_.push_back({RowType::caption, text, QStringLiteral("exclamationmark.triangle.fill"), nullptr, {},
                         QStringLiteral("sidebar-hid-failed"), text});
    } else if (model_.deviceLists().hidDevices().empty()) {
        rows_.push_back({RowType::caption, emptyCaption, {}, nullptr, {}, {}});
    }
    for (const auto& skipped : model_.deviceLists().skippedHID()) {
        const QString text = QString::fromStdString(skipped.title);
        rows_.push_back({RowType::skipped, text, QStringLiteral("nosign"), nullptr, {}, text, skippedTooltip(skipped)});
    }

    rows_.push_back(header(QStringLiteral("Testers")));
    rows_.push_back(destination(QStringLiteral("Keyboard"), QStringLiteral("keyboard"), SidebarItem::keyboard()));
    rows_.push_back(destination(QStringLiteral("Mouse"), QStringLiteral("computermouse"), SidebarItem::mouse()));

    rows_.push_back(header(QStringLiteral("Bench")));
    rows_.push_back(destination(QStringLiteral("All Devices"), QStringLiteral("square.grid.2x2"), SidebarItem::batch()));
    rows_.push_back(destination(QStringLiteral("History"), QStringLiteral("clock.arrow.circlepath"), SidebarItem::history()));
    endResetModel();
    emit rebuilt();
}

void SidebarModel::watch(const std::shared_ptr<InputDevice>& device) {
    const InputDevice* watched = device.get();
    watched_ << connect(watched, &InputDevice::infoChanged, this, [this, watched] {
        // Names are shown from the rows' cached titles.
        for (Row& row : rows_)
            if (row.device.get() == watched) row.title = QString::fromStdString(watched->info().name);
        announce(watched, {Qt::DisplayRole, SubtitleRole, Qt::AccessibleTextRole});
    });
    watched_ << connect(watched, &InputDevice::connectedChanged, this,
                        [this, watched] { announce(watched, {SubtitleRole, Qt::AccessibleTextRole}); });
    // A row is enough to give its device a runner; the rows only ever read it.
    TestRunner& runner = model_.runner(device);
    auto marks = [this, watched] { announce(watched, statusRoles); };
    watched_ << connect(&runner, &TestRunner::resultsChanged, this, marks);
    watched_ << connect(&runner, &TestRunner::activeChanged, this, marks);
}

void SidebarModel::announce(const InputDevice* device, const QList<int>& roles) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const auto& shown = rows_[i].device;
        if (!shown || (device && shown.get() != device)) continue;
        const QModelIndex changed = index(int(i));
        emit dataChanged(changed, changed, roles);
    }
}

int SidebarModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

const SidebarModel::Row* SidebarModel::rowAt(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || index.column() != 0 || index.row() < 0 ||
        index.row() >= int(rows_.size()))
        return nullptr;
    return &rows_[std::size_t(index.row())];
}

std::optional<SidebarItem> SidebarModel::item(const QModelIndex& index) const {
    const Row* row = rowAt(index);
    return row ? row->item : std::nullopt;
}

QModelIndex SidebarModel::indexOf(const SidebarItem& item) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].item == item) return index(int(i));
    return {};
}

QModelIndex SidebarModel::indexOf(const QString& identifier) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (!identifier.isEmpty() && rows_[i].identifier == identifier) return index(int(i));
    return {};
}

Qt::ItemFlags SidebarModel::flags(const QModelIndex& index) const {
    if (!rowAt(index)) return Qt::NoItemFlags;
    // Enabled so that a skipped row still shows its help on hover.
    return item(index) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled;
}

QVariant SidebarModel::data(const QModelIndex& index, int role) const {
    const Row* shown = rowAt(index);
    if (!shown) return {};
    const Row& row = *shown;
    std::optional<DeviceRow::StatusMark> mark;
    if (row.device && statusRoles.contains(role)) {
        // Looked up, never made: painting a row must not change the model.
        const TestRunner* runner = model_.deviceLists().existingRunner(row.device->id());
        // A soak run marks its own device only, even while no guided test runs there.
        const bool soaking = model_.soak() && model_.soak()->isRunning(*row.device);
        static const TestRunner::Results none;
        mark = DeviceRow::statusMark((runner && runner->hasActiveTest()) || soaking, runner ? runner->results() : none);
    }
    switch (role) {
    case Qt::DisplayRole: return row.title;
    case TypeRole: return int(row.type);
    case SubtitleRole: return row.device ? DeviceRow::subtitle(*row.device) : QString();
    case SymbolRole: return row.symbol;
    case StatusSymbolRole: return mark ? mark->symbol : QString();
    case StatusColorRole: return mark ? mark->color : QColor();
    case StatusLabelRole: return mark ? mark->accessibilityLabel : QString();
    case IdentifierRole: return row.identifier;
    case Qt::ToolTipRole: return row.toolTip.isEmpty() ? QVariant() : row.toolTip;
    case Qt::AccessibleTextRole: {
        // A device row is one element: its name, subtitle and mark read together.
        QStringList parts{row.title};
        if (row.device) {
            const QString subtitle = DeviceRow::subtitle(*row.device);
            if (!subtitle.isEmpty()) parts << subtitle;
            if (mark) parts << mark->accessibilityLabel;
        }
        return parts.join(QStringLiteral(", "));
    }
    default: return {};
    }
}

} // namespace Tessarine
