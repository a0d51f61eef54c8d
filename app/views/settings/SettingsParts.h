#pragma once
// The scaffolding every settings tab shares: a scrolling column of sections, each a group box
// whose rows are label and editor pairs.
#include <QString>

class QFormLayout;
class QGroupBox;
class QScrollArea;
class QVBoxLayout;
class QWidget;

namespace Tessarine::SettingsParts {

// A scroll area that fills `tab` and holds a column; sections are added to the column returned.
QVBoxLayout* scrollingColumn(QWidget& tab);
// A section with `title` (none when empty) added to `column`; rows go into `rows`.
QGroupBox* section(QVBoxLayout& column, const QString& title, QFormLayout*& rows);

// Gives the labels of every section under `root` one width, so editors line up down the tab.
void alignLabels(QWidget& root);
// A button at its natural width rather than across the section.
void naturalWidth(QWidget& widget);

} // namespace Tessarine::SettingsParts
