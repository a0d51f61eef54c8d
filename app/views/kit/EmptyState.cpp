#include "app/views/kit/EmptyState.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr int symbolSide = 44; // pixels
} // namespace

EmptyState::EmptyState(const QString& title, const QString& symbol, const QString& description, QWidget* parent)
    : QWidget(parent), symbol_(symbol), title_(new QLabel(title)), description_(new QLabel(description)) {
    const QColor secondary = palette().color(QPalette::PlaceholderText);
    auto* image = new QLabel;
    image->setPixmap(Symbols::icon(symbol, secondary).pixmap(symbolSide, symbolSide));
    image->setAlignment(Qt::AlignCenter);
    image->setAccessibleName(QString()); // decoration: the title says it

    title_->setObjectName(QStringLiteral("empty-title"));
    title_->setFont(Fonts::title());
    title_->setAlignment(Qt::AlignCenter);
    description_->setObjectName(QStringLiteral("empty-description"));
    description_->setAlignment(Qt::AlignCenter);
    description_->setWordWrap(true);
    QPalette muted = description_->palette();
    muted.setColor(QPalette::WindowText, secondary);
    description_->setPalette(muted);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(image);
    layout->addSpacing(6);
    layout->addWidget(title_);
    layout->addWidget(description_);
    layout->addStretch(1);
    setAccessibleName(title);
    setAccessibleDescription(description);
}

EmptyState* EmptyState::named(const QString& objectName, const QString& title, const QString& symbol,
                              const QString& description) {
    auto* view = new EmptyState(title, symbol, description);
    view->setObjectName(objectName);
    return view;
}

QString EmptyState::title() const { return title_->text(); }

QString EmptyState::description() const { return description_->text(); }

void EmptyState::setDescription(const QString& text) { description_->setText(text); }

} // namespace Tessarine
