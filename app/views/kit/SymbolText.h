#pragma once
// A symbol beside a text, one line, both in one colour: a verdict, a change or a state at a glance.
#include <QColor>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace Tessarine {

class SymbolText : public QWidget {
public:
    explicit SymbolText(QWidget* parent = nullptr);
    // Changes the symbol and the text only when they differ.
    void set(const QString& symbol, const QColor& color, const QString& text);
    QLabel* textLabel() const { return text_; }
    const QString& symbol() const { return symbol_; }

private:
    QLabel* icon_;
    QLabel* text_;
    QString symbol_;
    QColor color_;
};

} // namespace Tessarine
