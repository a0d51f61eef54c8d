#pragma once
// The sidebar's rows as a flat list model: section headers, device rows, the empty caption,
// the HID devices left closed, and the four destinations. Only device and destination rows
// carry a selection value; the others cannot be selected.
//
// The rows follow the application model: the device lists rebuild them, and a change of a
// listed device, of its runner or of the soak run announces the roles it changed on the rows
// it concerns. Reading the rows changes nothing.
#include <QAbstractListModel>
#include <QList>
#include <QMetaObject>

#include <memory>
#include <optional>
#include <vector>

#include "app/devices/SkippedHID.h"
#include "app/model/SidebarItem.h"

namespace Tessarine {

class AppModel;
class InputDevice;

class SidebarModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum class RowType { header, device, caption, skipped, destination };

    enum Role {
        TypeRole = Qt::UserRole + 1, // RowType as int
        SubtitleRole,                // QString, device rows
        SymbolRole,                  // QString symbol name
        StatusSymbolRole,            // QString, empty when there is no mark
        StatusColorRole,             // QColor
        StatusLabelRole,             // QString
        IdentifierRole,              // the accessibility identifier ("device-demo", "sidebar-history")
    };

    struct Row {
        RowType type;
        QString title;
        QString symbol;
        std::shared_ptr<InputDevice> device; // device rows
        std::optional<SidebarItem> item;     // selectable rows
        QString identifier;
        QString toolTip = {};
    };

    static const QString emptyCaption;
    static const QString skippedHelp;

    // The help of a device left closed: what keeps it closed and, for a permission error, the
    // way to grant access.
    static QString skippedTooltip(const SkippedHID& skipped);
    // The caption a section shows when its whole source reads nothing.
    static QString controllerFailureCaption(const std::string& reason);
    static QString hidFailureCaption(const std::string& reason);

    explicit SidebarModel(AppModel& model, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const Row& row(int index) const { return rows_.at(std::size_t(index)); }
    std::optional<SidebarItem> item(const QModelIndex& index) const;
    // The row that carries `item`, or an invalid index.
    QModelIndex indexOf(const SidebarItem& item) const;
    // The row whose accessibility identifier is `identifier`, or an invalid index.
    QModelIndex indexOf(const QString& identifier) const;

    // Reads the device lists again.
    void rebuild();

signals:
    // After the rows were rebuilt; the view restores its selection.
    void rebuilt();

private:
    void watch(const std::shared_ptr<InputDevice>& device);
    // The row an index of this model points at, or null.
    const Row* rowAt(const QModelIndex& index) const;
    // dataChanged for each row of `device` (every device row when null), one row at a time.
    void announce(const InputDevice* device, const QList<int>& roles);

    AppModel& model_;
    std::vector<Row> rows_;
    QList<QMetaObject::Connection> watched_;
};

} // namespace Tessarine
