// Scenes of the keyboard tester's drawn keyboard, of its screen in the window at the smallest and
// the usual size, and of the mouse tester's test area and screen.
#include "../app/model/ModelFakes.h"

#include <QVBoxLayout>

#include <cmath>

#include "Gallery.h"
#include "app/base/Clock.h"
#include "app/model/EventClock.h"
#include "app/model/KeyboardTester.h"
#include "app/model/MouseTester.h"
#include "app/views/shell/MainWindow.h"
#include "app/views/testers/KeyboardDrawing.h"
#include "app/views/testers/MousePad.h"
#include "app/views/testers/MouseTesterView.h"

namespace Tessarine {
namespace {

using Kind = RorozErurEvo::KeyboardLayout::Kind;
using Board = RorozErurEvo::KeyboardBoard;

std::unique_ptr<QWidget> keyboard(Kind kind, Board board, KeyboardState state) {
    auto view = std::make_unique<KeyboardDrawing>();
    view->setState(kind, board, std::move(state));
    return view;
}

using RorozErurEvo::LinuxKeyCodes::lifted;

// A few letters tested, A and S held, Return and J chattering (J released, Return held); Insert,
// Keypad 1 and Keypad Enter tested, Right Ctrl held, Keypad 5 chattering; Menu tested, the Up arrow
// held. Keys off the board drawn are not drawn.
KeyboardState typing() {
    return {{0, 1, 2, 3, 12, 13, 14, 38, 36, 49, lifted(110), lifted(79), lifted(96), lifted(76), 62, 54, 126},
            {0, 1, 36, 62, 126},
            {38, 36, lifted(76)}};
}

// The main window over a model of its own, showing the keyboard tester of a board after some
// typing: the window goes before the model does.
class TesterWindowHost final : public QWidget {
public:
    TesterWindowHost(QSize size, RorozErurEvo::KeyboardBoard board) : size_(size) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        bench.model->navigation().setSelection(SidebarItem::keyboard());
        auto* window = new MainWindow(*bench.model);
        window->setWindowFlags(Qt::Widget);
        layout->addWidget(window);
        KeyboardTester& tester = bench.model->keyboard();
        tester.setBoard(board);
        tester.start();
        double t = 1;
        // a s d, Insert, Keypad 1, F13 (no key of the board) twice; Keypad 5 bounces.
        for (int linux : {30, 31, 32, 110, 79, 183, 183, 76}) {
            tester.linuxKey(linux, true, false, t);
            tester.linuxKey(linux, false, false, t + 0.08);
            t += 0.1;
        }
        tester.linuxKey(76, true, false, t);
        tester.linuxKey(97, true, false, t + 0.1); // Right Ctrl held
    }
    ~TesterWindowHost() override { qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)); }
    QSize sizeHint() const override { return size_; }

    Fakes::Bench bench{false};

private:
    QSize size_;
};

std::unique_ptr<QWidget> mousePad() {
    static MouseTester tester;
    static EventClock eventClock;
    return std::make_unique<MousePad>(tester, eventClock, Clock::system());
}

// The mouse tester's screen after a second and a half of moves at 400 a second, stamped to the
// whole millisecond as the window system stamps them, and a click of each main button.
class MouseScreenHost final : public QWidget {
public:
    MouseScreenHost() {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new MouseTesterView(bench.model->mouse(), bench.model->settings(), *bench.model,
                                              bench.model->clock()));
        MouseTester& tester = bench.model->mouse();
        for (int i = 0; i < 600; ++i) tester.move(10 + std::floor(i * 2.5) / 1000);
        for (int button : {0, 1}) {
            tester.button(button, true, 12 + button);
            tester.button(button, false, 12.1 + button);
        }
    }
    ~MouseScreenHost() override { qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)); }

    Fakes::Bench bench{false};
};

const bool testerScenesAdded = Gallery::add({
    {"keyboard-ansi", {1400, 0}, [] { return keyboard(Kind::ansi, Board::fullSize, typing()); }},
    {"keyboard-ansi-tenkeyless", {1200, 0}, [] { return keyboard(Kind::ansi, Board::tenkeyless, typing()); }},
    {"keyboard-ansi-compact", {1200, 0}, [] { return keyboard(Kind::ansi, Board::compact, typing()); }},
    // The Section key and the < > key tested, the < > key chattering; right Super held.
    {"keyboard-iso", {1400, 0}, [] { return keyboard(Kind::iso, Board::fullSize, {{10, 50}, {lifted(126)}, {50}}); }},
    {"keyboard-iso-compact", {1200, 0}, [] { return keyboard(Kind::iso, Board::compact, {{10, 50}, {}, {50}}); }},
    {"keyboard-small", {640, 0}, [] { return keyboard(Kind::ansi, Board::fullSize, typing()); }},
    {"keyboard-tester-window", {},
     [] { return std::make_unique<TesterWindowHost>(QSize(1320, 860), Board::tenkeyless); }},
    {"keyboard-tester-window-full-size", {},
     [] { return std::make_unique<TesterWindowHost>(QSize(1320, 860), Board::fullSize); }},
    {"keyboard-tester-window-minimum", {},
     [] { return std::make_unique<TesterWindowHost>(QSize(MainWindow::minimumWidth, 679), Board::compact); }},
    {"mouse-pad", {560, 360}, mousePad},
    {"mouse-tester-rate", {1000, 680}, [] { return std::make_unique<MouseScreenHost>(); }},
});

} // namespace
} // namespace Tessarine
