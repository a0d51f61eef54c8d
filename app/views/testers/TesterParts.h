#pragma once
// Small pieces the keyboard and mouse tester screens share: the header with its title, Reset and
// Save Session…, and text in the secondary style.
#include <QLabel>
#include <QPushButton>
#include <QString>

class QBoxLayout;
class QWidget;

namespace Tessarine::TesterParts {

// Pixels around the header's row, across and down.
constexpr int headerMarginX = 18;
constexpr int headerMarginY = 12;
// Pixels around each screen's content.
constexpr int contentMargin = 18;

// A label in the secondary text colour with the given font, wrapping.
QLabel* secondaryLabel(const QString& text, const QFont& font);
// A save button: the title ("Save Session…" unless told) beside the save symbol.
QPushButton* saveButton(const QString& objectName, const QString& title = QStringLiteral("Save Session…"));
// A horizontal hairline.
QWidget* divider();
// The header row: the title (title font) on the left; items are added to its right by the caller.
QBoxLayout* header(const QString& title);

} // namespace Tessarine::TesterParts

namespace Tessarine::TesterParts {

// A symbol beside a text, one line; set() changes both only when they differ.
class SymbolText : public QWidget {
public:
    explicit SymbolText(QWidget* parent = nullptr);
    void set(const QString& symbol, const QColor& color, const QString& text);
    QLabel* textLabel() const { return text_; }
    const QString& symbol() const { return symbol_; }

private:
    QLabel* icon_;
    QLabel* text_;
    QString symbol_;
    QColor color_;
};

} // namespace Tessarine::TesterParts
