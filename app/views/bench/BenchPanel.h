#pragma once
// The bench of one device: a scrolling page with the unit bar, the profile row, one titled
// section per group of the device's guided tests (a grid of cards, as many columns of at least
// 300 pixels as fit) and a closing caption on what the bench judges.
//
// Cards are kept by test identifier: when the catalogue's tests change only in their targets the
// cards are handed the new tests; the sections are rebuilt only when the identifiers or titles
// change, and a card whose test stays keeps its state (its open details) across the rebuild.
//
// The first sections are built in slices after the panel first paints (see SlicedBuild): a
// window that opens on the bench shows without waiting for its cards. The closing caption shows
// once the last card is in.
#include <QScrollArea>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/model/GuidedTests.h"
#include "app/views/bench/BenchCards.h"

class QLabel;
class QVBoxLayout;
class QWidget;

namespace Tessarine {

class Card;
class DeviceLists;
class InputDevice;
class Navigation;
class ProfileRow;
class SessionCommands;
class SlicedBuild;
class TestRunner;
class UnitBar;
class UserSettings;

class BenchPanel : public QScrollArea {
    Q_OBJECT

public:
    // What the page reads and commands besides its device: the devices' lists and runners, the
    // way to other views and the session commands (the unit bar's), the settings (the profile
    // row's), and the maker of its cards.
    struct Faces {
        DeviceLists& lists;
        Navigation& navigation;
        SessionCommands& commands;
        UserSettings& settings;
        BenchCards cards;
    };

    BenchPanel(std::shared_ptr<InputDevice> device, Faces faces, QWidget* parent = nullptr);

    const std::shared_ptr<InputDevice>& device() const { return device_; }
    UnitBar* unitBar() const { return unitBar_; }
    ProfileRow* profileRow() const { return profileRow_; }
    QLabel* caption() const { return caption_; }
    // The section titles shown, in order.
    QStringList sectionTitles() const;
    // The card of a test identifier, or none.
    Card* card(const std::string& testID) const;
    // How many times the sections were built; a change of targets alone does not count.
    int builds() const { return builds_; }

    // Follows the catalogue: new targets go to the kept cards; new identifiers rebuild.
    void refresh();

private:
    void rebuild(const std::vector<GuidedTests::Section>& sections);
    // A section's titled view with an empty grid, placed after the sections before it.
    QWidget* addSection(const GuidedTests::Section& section);
    // Puts a card in the grid of `cells`: a kept one from `spare` when there is one.
    void addCard(QWidget* cells, const GuidedTest& test, std::map<std::string, Card*>& spare);

    std::shared_ptr<InputDevice> device_;
    BenchCards cardMaker_;
    TestRunner& runner_;
    UnitBar* unitBar_;
    ProfileRow* profileRow_;
    QVBoxLayout* sectionsLayout_;
    QLabel* caption_;
    SlicedBuild* build_ = nullptr;
    std::vector<GuidedTests::Section> shown_;
    std::vector<QWidget*> sectionViews_;
    std::map<std::string, Card*> cards_;
    int builds_ = 0;
};

} // namespace Tessarine
