#include "app/views/shell/MoreApps.h"

#include <QAccessibleWidget>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QVBoxLayout>

#include "app/model/WebAddresses.h"
#include "app/paint/Scheme.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/kit/AccessibleWindow.h"
#include "app/views/kit/LinkOpener.h"
#include "app/views/settings/SettingsParts.h"
#include "app/views/kit/Divider.h"
#include "app/views/kit/ViewParts.h"

namespace Tessarine {

namespace {

// The row's geometry, pixels.
constexpr int tile = 36;
constexpr int tileRadius = 8;
constexpr int tileSymbol = 20;
constexpr int tileSpacing = 12;
constexpr int rowInset = 10;     // from the row's sides
constexpr int rowPadding = 8;    // above and below the row's content
constexpr int lineGap = 2;    // between the name and the detail
constexpr int linkMark = 18;

// The maker's site, named in the rows' labels.
const char* const makerSite = "quenlow.com";

// Catalogue entries are invented for the maker; every link goes to the maker's own page of the
// app for Linux.
const std::vector<CatalogueApp>& entries() {
    static const std::vector<CatalogueApp> list{
        {"tessarine", "Tessarine", "Test controllers, keyboards and mice, with reports.", "gamecontroller",
         Color::accentTeal()},
        {"auralto", "Auralto", "Check speakers, headphones and microphones.", "waveform",
         Color::rgb(0.55, 0.3, 0.8)},
        {"voltmere", "Voltmere", "Battery health and wear of laptops and gear.",
         "battery.75percent", Color::rgb(0.2, 0.6, 0.3)},
        {"pixelvane", "Pixelvane", "Find dead pixels and backlight bleed.", "lightbulb",
         Color::rgb(0.9, 0.55, 0.1)},
        {"radiolume", "Radiolume", "Watch wireless links for dropouts.",
         "antenna.radiowaves.left.and.right", Color::rgb(0.2, 0.45, 0.85)},
    };
    return list;
}

// A row is a link for assistive technology: one element, its label and hint, and a press action.
class LinkInterface final : public QAccessibleWidget {
public:
    explicit LinkInterface(QWidget* row) : QAccessibleWidget(row, QAccessible::Link) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction()) static_cast<QAbstractButton*>(widget())->click();
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

QAccessibleInterface* linkFactory(const QString&, QObject* object) {
    auto* row = qobject_cast<CatalogueAppRow*>(object);
    return row ? new LinkInterface(row) : nullptr;
}

} // namespace

QUrl CatalogueApp::url() const {
    return QUrl(QString::fromUtf8(WebAddresses::makerAppPage) + QString::fromStdString(id), QUrl::StrictMode);
}

QString CatalogueApp::accessibleLabel() const {
    return QStringLiteral("Opens ") + QString::fromStdString(name) + QStringLiteral(" on ") + QString::fromUtf8(makerSite);
}

CatalogueAppRow::CatalogueAppRow(CatalogueApp app, QWidget* parent) : QAbstractButton(parent), app_(std::move(app)) {
    static const bool installed = [] {
        QAccessible::installFactory(linkFactory);
        return true;
    }();
    (void)installed;
    setObjectName(QStringLiteral("app-") + QString::fromStdString(app_.id));
    setAccessibleName(app_.accessibleLabel());
    setAccessibleDescription(QString::fromStdString(app_.detail));
    setToolTip(app_.url().toString());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize CatalogueAppRow::sizeHint() const {
    const int text = QFontMetrics(Fonts::headline()).height() + lineGap + QFontMetrics(Fonts::callout()).height();
    return {320, std::max(tile, text) + 2 * rowPadding};
}

void CatalogueAppRow::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CatalogueAppRow::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CatalogueAppRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const Scheme scheme = Scheme::fromPalette(palette());
    if (isDown() || hovered_)
        p.fillRect(rect(), Color::withOpacity(palette().color(QPalette::Highlight), isDown() ? 0.22 : 0.1));

    const QRectF tileRect(rowInset, (height() - tile) / 2.0, tile, tile);
    QLinearGradient gradient(tileRect.topLeft(), tileRect.bottomLeft());
    gradient.setColorAt(0, app_.tint.lighter(130));
    gradient.setColorAt(1, app_.tint);
    QPainterPath tilePath;
    tilePath.addRoundedRect(tileRect, tileRadius, tileRadius);
    p.fillPath(tilePath, gradient);
    const QRectF symbolRect(tileRect.center() - QPointF(tileSymbol / 2.0, tileSymbol / 2.0), QSizeF(tileSymbol, tileSymbol));
    Symbols::paint(p, symbolRect, QString::fromStdString(app_.systemImage), Qt::white);

    const QRectF markRect(width() - rowInset - linkMark, (height() - linkMark) / 2.0, linkMark, linkMark);
    Symbols::paint(p, markRect, QStringLiteral("arrow.up.forward.app"), app_.tint);

    const double textLeft = tileRect.right() + tileSpacing;
    const double textWidth = std::max(0.0, markRect.left() - tileSpacing - textLeft);
    const QFontMetrics nameMetrics(Fonts::headline());
    const QFontMetrics detailMetrics(Fonts::callout());
    const double top = (height() - (nameMetrics.height() + lineGap + detailMetrics.height())) / 2.0;
    p.setFont(Fonts::headline());
    p.setPen(scheme.primary);
    p.drawText(QRectF(textLeft, top, textWidth, nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
               nameMetrics.elidedText(QString::fromStdString(app_.name), Qt::ElideRight, int(textWidth)));
    p.setFont(Fonts::callout());
    p.setPen(scheme.secondary);
    p.drawText(QRectF(textLeft, top + nameMetrics.height() + lineGap, textWidth, detailMetrics.height()),
               Qt::AlignLeft | Qt::AlignVCenter,
               detailMetrics.elidedText(QString::fromStdString(app_.detail), Qt::ElideRight, int(textWidth)));

    if (hasFocus()) {
        QStylePainter sp(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        sp.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}

const std::vector<CatalogueApp>& MoreAppsView::catalogue() { return entries(); }

std::vector<CatalogueApp> MoreAppsView::apps() {
    std::vector<CatalogueApp> shown;
    for (const CatalogueApp& app : catalogue())
        if (app.id != "tessarine") shown.push_back(app);
    return shown;
}

QString MoreAppsView::footer() {
    return QStringLiteral("Pages open in your web browser, on ") + QString::fromUtf8(makerSite) + QStringLiteral(".");
}

MoreAppsView::MoreAppsView(UrlOpener opener, QWidget* parent) : QWidget(parent), opener_(std::move(opener)) {
    setObjectName(QStringLiteral("more-apps"));
    QVBoxLayout* column = SettingsParts::scrollingColumn(*this);
    column->setSpacing(6);
    auto* group = new QFrame;
    group->setObjectName(QStringLiteral("more-apps-list"));
    group->setFrameShape(QFrame::StyledPanel);
    auto* rows = new QVBoxLayout(group);
    rows->setContentsMargins(0, 4, 0, 4);
    rows->setSpacing(0);
    bool first = true;
    for (const CatalogueApp& app : apps()) {
        if (!first) rows->addWidget(new Divider(Qt::Horizontal));
        first = false;
        auto* row = new CatalogueAppRow(app);
        connect(row, &QAbstractButton::clicked, this, [this, app] { open(app); });
        rows->addWidget(row);
    }
    column->addWidget(group);
    auto* caption = ViewParts::secondaryLabel(footer(), Fonts::caption());
    caption->setObjectName(QStringLiteral("more-apps-footer"));
    column->addWidget(caption);
    column->addStretch(1);
}

void MoreAppsView::open(const CatalogueApp& app) {
    openLink(this, app.url(), opener_);
}

MoreAppsView& MoreAppsView::showWindow() {
    static QPointer<MoreAppsView> window;
    if (!window) {
        window = new MoreAppsView;
        window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        window->setWindowTitle(QStringLiteral("More Apps"));
        AccessibleWindow::mark(*window);
        window->setFixedSize(width, height);
        // Lives with the application; closing only hides it.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, [] { delete window.data(); });
        if (QScreen* screen = QGuiApplication::primaryScreen())
            window->move(screen->availableGeometry().center() - window->rect().center());
    }
    window->show();
    window->raise();
    window->activateWindow();
    return *window;
}

} // namespace Tessarine
