#pragma once
// A note at the top of the Thresholds tab while saved thresholds or family profiles could not
// be read and the standard ones apply in their place: the model's lines, one each. It goes away
// once the user saves new limits of that kind.
#include <QLabel>

namespace Tessarine {

class UserSettings;

class LimitsFallbackNote final : public QLabel {
    Q_OBJECT

public:
    explicit LimitsFallbackNote(const UserSettings& settings, QWidget* parent = nullptr);

private:
    void refresh();

    const UserSettings& settings_;
};

} // namespace Tessarine
