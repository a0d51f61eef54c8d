#include "app/views/kit/SlicedBuild.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

struct SlicingOn {
    SlicingOn() { SlicedBuild::setSlicing(true); }
    ~SlicingOn() { SlicedBuild::setSlicing(false); }
};

// Records, for each key press that reaches its widget, whether a build still had slices left.
class KeyWitness final : public QObject {
public:
    explicit KeyWitness(const SlicedBuild& build) : build_(build) {}
    std::vector<bool> pendingAtKey;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) pendingAtKey.push_back(build_.pending());
        return false;
    }

private:
    const SlicedBuild& build_;
};

} // namespace

TEST(SlicedBuild, WithoutSlicingEverySliceRunsAsItIsAdded) {
    QWidget view;
    auto* build = new SlicedBuild(&view);
    int ran = 0;
    build->add([&] { ++ran; });
    EXPECT_EQ(ran, 1);
    bool done = false;
    build->whenDone([&] { done = true; });
    EXPECT_TRUE(done);
    EXPECT_FALSE(build->pending());
}

TEST(SlicedBuild, SlicesWaitForTheFirstPaintThenRunInOrder) {
    SlicingOn on;
    QWidget view;
    view.resize(200, 120);
    auto* build = new SlicedBuild(&view);
    std::vector<int> ran;
    bool done = false;
    for (int i = 0; i < 4; ++i) build->add([&ran, i] { ran.push_back(i); });
    build->whenDone([&] { done = true; });
    // A finish with nothing left changes nothing; an unpainted view keeps its slices waiting.
    for (int turn = 0; turn < 5; ++turn) QApplication::processEvents();
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(build->pending());

    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }));
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(build->pending());
    // Once the build is through, a later slice runs at once.
    build->add([&ran] { ran.push_back(4); });
    EXPECT_EQ(ran.size(), 5u);
}

TEST(SlicedBuild, BuildsPaintedTogetherTakeTurns) {
    SlicingOn on;
    QWidget window;
    window.resize(200, 100);
    auto* left = new QWidget(&window);
    left->setGeometry(0, 0, 100, 100);
    auto* right = new QWidget(&window);
    right->setGeometry(100, 0, 100, 100);
    std::string ran;
    auto* first = new SlicedBuild(left);
    auto* second = new SlicedBuild(right);
    for (int i = 0; i < 3; ++i) {
        first->add([&ran] { ran += 'a'; });
        second->add([&ran] { ran += 'b'; });
    }
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !first->pending() && !second->pending(); }));
    // Neither waits for the other to finish: work queued behind a long build still starts.
    EXPECT_EQ(ran, "ababab");
}

TEST(SlicedBuild, InputFinishesEveryBuildBeforeItReachesItsWidget) {
    SlicingOn on;
    QWidget view;
    auto* field = new QLineEdit(&view);
    auto* build = new SlicedBuild(&view);
    QLineEdit* later = nullptr;
    build->add([&] { later = new QLineEdit(&view); });
    QWidget other;
    auto* second = new SlicedBuild(&other);
    bool otherBuilt = false;
    second->add([&] { otherBuilt = true; });

    KeyWitness witness(*build);
    field->installEventFilter(&witness);
    QTest::keyClick(field, Qt::Key_A);
    ASSERT_EQ(witness.pendingAtKey, std::vector<bool>{false});
    EXPECT_NE(later, nullptr);
    EXPECT_TRUE(otherBuilt);
    EXPECT_EQ(field->text(), "a");
}

TEST(SlicedBuild, SlicesOfAViewThatIsGoneNeverRun) {
    SlicingOn on;
    bool ran = false;
    {
        QWidget view;
        auto* build = new SlicedBuild(&view);
        build->add([&] { ran = true; });
        view.show();
    }
    for (int turn = 0; turn < 5; ++turn) QApplication::processEvents();
    SlicedBuild::finishAll();
    QWidget typed;
    QTest::keyClick(&typed, Qt::Key_B);
    EXPECT_FALSE(ran);
}

TEST(SlicedBuild, SettledWorkWaitsForEveryBuildIncludingOnesStartedOnTheWay) {
    int ran = 0;
    QObject context;
    SlicedBuild::whenSettled(&context, [&] { ++ran; });
    EXPECT_EQ(ran, 1) << "without slicing the work runs at once";

    SlicingOn on;
    QWidget view;
    view.resize(200, 120);
    auto* build = new SlicedBuild(&view);
    std::vector<std::string> order;
    // The last slice starts another build, as a page rebuilt by what the first build started.
    QWidget later;
    later.resize(100, 60);
    build->add([&] { order.push_back("first"); });
    build->add([&] {
        order.push_back("second");
        auto* next = new SlicedBuild(&later);
        next->add([&] { order.push_back("later"); });
        later.show();
    });
    SlicedBuild::whenSettled(&context, [&] { order.push_back("settled"); });
    for (int turn = 0; turn < 5; ++turn) QApplication::processEvents();
    EXPECT_TRUE(order.empty()) << "nothing is settled while a build waits for its paint";

    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 4; }));
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "later", "settled"}));
    for (int turn = 0; turn < 5; ++turn) QApplication::processEvents();
    EXPECT_EQ(order.size(), 4u) << "settled work runs once";
}

TEST(SlicedBuild, SettledWorkRunsAtItsLimitAndNeverAfterItsContextIsGone) {
    SlicingOn on;
    // A view that is never painted keeps its build waiting for a second; the limit comes first.
    QWidget hidden;
    auto* build = new SlicedBuild(&hidden);
    bool sliced = false;
    build->add([&] { sliced = true; });
    bool ran = false;
    QObject context;
    SlicedBuild::whenSettled(&context, [&] { ran = true; }, 50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran; }, 500));
    EXPECT_FALSE(sliced);

    bool orphanRan = false;
    {
        QObject gone;
        SlicedBuild::whenSettled(&gone, [&] { orphanRan = true; }, 50);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return sliced; }, 3000));
    for (int turn = 0; turn < 5; ++turn) QApplication::processEvents();
    QTest::qWait(100);
    EXPECT_FALSE(orphanRan);
}
