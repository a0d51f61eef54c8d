#pragma once
// The mouse tester screen: the test area on the left, five live boxes on the right (buttons,
// double-click chatter, scroll wheel, report rate, hold check), Reset and Save Session… above.
#include <QTimer>
#include <QWidget>

#include <array>

#include "app/model/EventClock.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace Tessarine {

class Clock;
class MouseTester;
class SessionCommands;
class UserSettings;
class MousePad;
class SymbolText;

class MouseTesterView : public QWidget {
    Q_OBJECT
public:
    static constexpr int rightColumnWidth = 330; // pixels
    static constexpr int holdRefreshMs = 250;    // the hold text's refresh while holding

    explicit MouseTesterView(MouseTester& tester, const UserSettings& settings, SessionCommands& commands,
                             const Clock& clock, QWidget* parent = nullptr);
    ~MouseTesterView() override;

    MousePad& pad() const { return *pad_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Builders of the screen's parts, each run once by the constructor.
    void buildTestArea(QHBoxLayout* row);
    QVBoxLayout* buildBoxColumn(QHBoxLayout* row);
    void buildButtonsBox(QVBoxLayout* column);
    void buildChatterBox(QVBoxLayout* column);
    void buildWheelBox(QVBoxLayout* column);
    void buildRateBox(QVBoxLayout* column);
    void buildHoldBox(QVBoxLayout* column);

    void refresh();
    void refreshHolding();
    void save();

    MouseTester& tester_;
    const UserSettings& settings_;
    SessionCommands& commands_;
    const Clock& clock_;
    EventClock eventClock_;
    MousePad* pad_;
    std::array<SymbolText*, 5> buttonRows_{};
    std::array<QLabel*, 5> buttonCounts_{};
    QLabel* chatterCaption_;
    QLabel* clickFirst_;
    struct ClickRow {
        QWidget* row = nullptr;
        SymbolText* verdict = nullptr;
        QLabel* time = nullptr;
    };
    std::array<ClickRow, 8> clickRows_{};
    QLabel* steps_;
    SymbolText* reversals_;
    QLabel* smooth_;
    QLabel* rate_;
    QStackedWidget* hold_;
    QLabel* holding_;
    SymbolText* holdResult_;
    QTimer holdTimer_;
    bool compressionOff_ = false;
};

} // namespace Tessarine
