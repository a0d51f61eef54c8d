#pragma once
// The centred placeholder of an empty detail area: a large grey symbol, a title and a line of
// description.
#include <QString>
#include <QWidget>

class QLabel;

namespace Tessarine {

class EmptyState : public QWidget {
    Q_OBJECT

public:
    EmptyState(const QString& title, const QString& symbol, const QString& description, QWidget* parent = nullptr);
    // One with an object name, for a view that stands in for one not built yet.
    static EmptyState* named(const QString& objectName, const QString& title, const QString& symbol,
                             const QString& description);

    QString title() const;
    QString symbol() const { return symbol_; }
    QString description() const;
    void setDescription(const QString& text);

private:
    QString symbol_;
    QLabel* title_;
    QLabel* description_;
};

} // namespace Tessarine
