#pragma once
// A label for a line of parts joined by a separator ("Gamepad · 045E:0B13 · Serial SN-4"): where
// its column is narrower than the line, it wraps between parts instead of cutting the text, so a
// part such as a serial is always shown whole. A part wider than the whole column breaks between
// its characters. text() and the accessible name stay the whole line.
#include <QFont>
#include <QLabel>
#include <QStringList>

#include <utility>
#include <vector>

namespace Tessarine {

class PartsLabel : public QLabel {
    Q_OBJECT

public:
    explicit PartsLabel(QString separator, QWidget* parent = nullptr);

    // The lines drawn at `width` pixels.
    QStringList linesFor(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString separator_;
    // The lines last worked out, by the width inside the margins, for the text and font they were
    // worked out in: layouts ask about the same few widths over and over, and each answer measures
    // every part.
    mutable QString linesText_;
    mutable QFont linesFont_;
    mutable std::vector<std::pair<int, QStringList>> lines_;
};

} // namespace Tessarine
