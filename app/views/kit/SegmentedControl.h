#pragma once
// A row of exclusive choices drawn as joined buttons: one is always checked once a choice is set.
// Each segment carries a tag (the value the model stores) besides its visible text.
#include <QButtonGroup>
#include <QString>
#include <QToolButton>
#include <QWidget>

#include <vector>

namespace Tessarine {

class SegmentedControl : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedControl(QWidget* parent = nullptr);

    // Appends a segment; `tag` identifies it, `text` is what it shows. Returns its button so the
    // caller can name it or give it a tool tip.
    QToolButton* addSegment(const QString& text, const QString& tag);
    int count() const { return int(tags_.size()); }
    QToolButton* button(int index) const;

    // -1 when nothing is chosen.
    int currentIndex() const;
    QString currentTag() const;
    // Checks the segment; -1 or an index out of range clears the choice. Emits currentIndexChanged
    // only when the choice changes.
    void setCurrentIndex(int index);
    // A tag no segment carries clears the choice.
    void setCurrentTag(const QString& tag);
    int indexOf(const QString& tag) const;

signals:
    // After every change of the choice, by the user or by a setter.
    void currentIndexChanged(int index);
    // When the user clicks a segment, the chosen one included (as a combo box's activated).
    void activated(int index);

private:
    QButtonGroup* group_;
    std::vector<QString> tags_;
};

} // namespace Tessarine
