#pragma once
// How far the export under way has got, and the way to stop it, as the progress panel sees
// them. Owned by the application model, which sets the count from the worker's running total
// on the frame tick and is the one that stops an export. Main thread only; changed() is emitted only when the count
// changes.
#include <QObject>

#include <cstddef>
#include <functional>
#include <optional>

namespace Tessarine {

class ExportProgress : public QObject {
    Q_OBJECT

public:
    struct Count {
        std::size_t written = 0;
        std::size_t total = 0;
        friend bool operator==(const Count&, const Count&) = default;
    };

    // `cancel` stops the export under way.
    explicit ExportProgress(std::function<void()> cancel, QObject* parent = nullptr);

    // Absent when no export is under way.
    const std::optional<Count>& count() const { return count_; }
    void setCount(std::optional<Count> value);
    // Stops the export under way and says so: its file is not made, and a file it was to
    // replace stays as it was.
    void cancel();

signals:
    void changed();

private:
    std::function<void()> cancel_;
    std::optional<Count> count_;
};

} // namespace Tessarine
