#include "app/views/shell/RootView.h"

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QPropertyAnimation>
#include <QResizeEvent>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "app/model/AppModel.h"
#include "app/views/kit/EmptyState.h"
#include "app/views/shell/ExportProgressView.h"
#include "app/views/shell/Sidebar.h"
#include "app/views/shell/SidebarModel.h"
#include "app/views/shell/ToastView.h"

namespace Tessarine {

namespace {
// Milliseconds of a toast's fade in or out.
constexpr int fadeMs = 200;
// Pixels kept free on either side of a toast.
constexpr int toastSideGap = 24;

// A hairline between the sidebar and the detail, which is also the handle that resizes them.
class HairlineHandle final : public QSplitterHandle {
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Mid));
    }
};

class HairlineSplitter final : public QSplitter {
public:
    using QSplitter::QSplitter;

protected:
    QSplitterHandle* createHandle() override { return new HairlineHandle(orientation(), this); }
};

QWidget* placeholder(const QString& title, const QString& symbol, const QString& description) {
    auto* view = new EmptyState(title, symbol, description);
    view->setObjectName(QStringLiteral("detail-placeholder"));
    return view;
}
} // namespace

RootView::RootView(AppModel& model, Destinations destinations, TimerFactory timers, QWidget* parent)
    : QWidget(parent), model_(model), destinations_(std::move(destinations)), timers_(std::move(timers)),
      split_(new HairlineSplitter(Qt::Horizontal)), sidebar_(new Sidebar(model.navigation(), new SidebarModel(model))), detailHost_(new QWidget),
      // A style whose animations last no time at all is how the desktop asks for less motion.
      reduceMotion_(QApplication::style()->styleHint(QStyle::SH_Widget_Animation_Duration) == 0) {
    setObjectName(QStringLiteral("root"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split_);

    sidebar_->setMinimumWidth(sidebarMinimum);
    sidebar_->setMaximumWidth(sidebarMaximum);
    auto* detailLayout = new QVBoxLayout(detailHost_);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    detailHost_->setObjectName(QStringLiteral("detail"));
    split_->addWidget(sidebar_);
    split_->addWidget(detailHost_);
    split_->setHandleWidth(1);
    split_->setCollapsible(0, false);
    split_->setCollapsible(1, false);
    split_->setStretchFactor(0, 0);
    split_->setStretchFactor(1, 1);

    exportProgress_ = new ExportProgressView(model_.exportProgress(), this);
    connect(exportProgress_, &ExportProgressView::shownChanged, this, [this] {
        placeToast();
        if (!exportProgress_->isHidden()) exportProgress_->raise();
    });

    // The toast floats above everything, lets clicks through and never takes focus.
    toastHolder_ = new QWidget(this);
    toastHolder_->setAttribute(Qt::WA_TransparentForMouseEvents);
    toastHolder_->setFocusPolicy(Qt::NoFocus);
    toastView_ = new ToastView(QString(), toastHolder_);
    toastFade_ = new QPropertyAnimation(toastView_, "opacity", this);
    toastFade_->setDuration(fadeMs);
    connect(toastFade_, &QPropertyAnimation::finished, this, [this] {
        if (toastView_->opacity() == 0.0) toastHolder_->hide();
    });
    toastHolder_->hide();

    connect(&model_.navigation(), &Navigation::selectionChanged, this, &RootView::route);
    connect(&model_.deviceLists(), &DeviceLists::controllerDevicesChanged, this, &RootView::route);
    connect(&model_.deviceLists(), &DeviceLists::hidDevicesChanged, this, &RootView::route);
    connect(&model_, &AppModel::toastChanged, this, &RootView::toastChanged);
    connect(&model_.navigation(), &Navigation::saveSheetDeviceChanged, this, &RootView::saveSheetChanged);
    // Each request opens the window; the value there at creation asks for nothing.
    connect(&model_, &AppModel::settingsRequestChanged, this, [this] {
        if (openSettings) openSettings();
    });
    route();
    toastChanged();
    saveSheetChanged();
}

RootView::~RootView() {
    if (saveSheet_) saveSheet_->disconnect(this);
}

// ---- detail routing

void RootView::route() {
    const auto& selection = model_.navigation().selection();
    QString key;
    std::function<QWidget*()> make;
    if (!selection) {
        key = QStringLiteral("none");
        make = [] {
            return placeholder(QStringLiteral("Pick a device"), QStringLiteral("gamecontroller"),
                               QStringLiteral("Connect a controller, or try the demo controller."));
        };
    } else {
        switch (selection->kind) {
        case SidebarItem::Kind::device:
            if (auto device = model_.device(selection->deviceID)) {
                // A device that comes back under the same id is a new object: a new view.
                key = QStringLiteral("device:%1:%2")
                          .arg(QString::fromStdString(device->id()))
                          .arg(quintptr(device.get()));
                make = [this, device] { return destinations_.device(model_, device); };
            } else {
                key = QStringLiteral("missing:") + QString::fromStdString(selection->deviceID);
                make = [] {
                    return placeholder(QStringLiteral("Device disconnected"), QStringLiteral("cable.connector.slash"),
                                       QStringLiteral("Plug it back in, or pick another device on the left."));
                };
            }
            break;
        case SidebarItem::Kind::keyboard:
            key = QStringLiteral("keyboard");
            make = [this] { return destinations_.keyboard(model_); };
            break;
        case SidebarItem::Kind::mouse:
            key = QStringLiteral("mouse");
            make = [this] { return destinations_.mouse(model_); };
            break;
        case SidebarItem::Kind::batch:
            key = QStringLiteral("batch");
            make = [this] { return destinations_.batch(model_); };
            break;
        case SidebarItem::Kind::history:
            key = QStringLiteral("history");
            make = [this] { return destinations_.history(model_); };
            break;
        }
    }
    if (key == routeKey_ && detail_) return;
    routeKey_ = key;
    QWidget* next = make();
    if (detail_) {
        detailHost_->layout()->removeWidget(detail_);
        detail_->deleteLater();
        detail_->hide();
    }
    detail_ = next;
    detailHost_->layout()->addWidget(detail_);
    toastHolder_->raise();
}

// ---- toast

ToastView* RootView::toast() const { return toastHolder_->isHidden() ? nullptr : toastView_; }

void RootView::toastChanged() {
    const auto& text = model_.toast();
    // A new text cancels the old text's timer; the old text is gone, so there is nothing left
    // for that timer to clear.
    retire(std::move(toastTimer_));
    toastText_.reset();
    const unsigned generation = ++toastGeneration_;
    if (!text) {
        hideToast();
        return;
    }
    showToast(QString::fromStdString(*text));
    toastText_ = *text;
    toastTimer_ = timers_();
    toastTimer_->start(toastSeconds, [this, generation] { toastDue(generation); });
}

void RootView::toastDue(unsigned generation) {
    if (generation != toastGeneration_) return;
    // The timer fires once for its text; it is dropped after its callback has returned.
    const std::optional<std::string> text = std::exchange(toastText_, std::nullopt);
    retire(std::move(toastTimer_));
    if (text && model_.toast() == text) model_.setToast(std::nullopt);
}

void RootView::retire(std::unique_ptr<RepeatingTimer> timer) {
    if (!timer) return;
    // Destroyed from the event loop, never inside its own callback.
    std::shared_ptr<RepeatingTimer> retired(std::move(timer));
    QMetaObject::invokeMethod(this, [retired] {}, Qt::QueuedConnection);
}

void RootView::showToast(const QString& text) {
    toastView_->setText(text);
    toastView_->setAccessibleName(text);
    placeToast();
    toastFade_->stop();
    toastHolder_->show();
    toastHolder_->raise();
    if (reduceMotion_) {
        toastView_->setOpacity(1.0);
        return;
    }
    toastFade_->setStartValue(toastView_->opacity() < 1.0 ? toastView_->opacity() : 0.0);
    toastFade_->setEndValue(1.0);
    toastFade_->start();
}

void RootView::hideToast() {
    toastFade_->stop();
    if (reduceMotion_ || !isVisible() || toastHolder_->isHidden()) {
        toastHolder_->hide();
        toastView_->setOpacity(1.0);
        return;
    }
    toastFade_->setStartValue(toastView_->opacity());
    toastFade_->setEndValue(0.0);
    toastFade_->start();
}

void RootView::placeToast() {
    // Room for the shadow around the capsule.
    const QMargins shadow(10, 6, 10, 12);
    const QSize size = toastView_->sizeFor(std::max(1, width() - 2 * toastSideGap));
    toastView_->setGeometry(shadow.left(), shadow.top(), size.width(), size.height());
    const QSize holder = size.grownBy(shadow);
    // The export's progress keeps the bottom; a toast meanwhile stands above it.
    const QSize progress = exportProgress_->sizeHint();
    exportProgress_->setGeometry((width() - progress.width()) / 2, height() - toastBottomGap - progress.height(),
                                 progress.width(), progress.height());
    const int above = exportProgress_->isHidden() ? 0 : progress.height() + toastBottomGap / 2;
    toastHolder_->setGeometry((width() - holder.width()) / 2,
                              height() - toastBottomGap - above - size.height() - shadow.top(), holder.width(),
                              holder.height());
}

void RootView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Before the first showing, the sidebar takes its ideal width at once: the detail is laid
    // out for its own width the first time, not once more when it is shown.
    if (!focused_) placeSidebar();
    placeToast();
}

void RootView::placeSidebar() {
    split_->setSizes({sidebarIdeal, std::max(1, split_->width() - sidebarIdeal - split_->handleWidth())});
}

void RootView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!focused_) {
        // The first time on screen: the sidebar opens at its ideal width and has the focus.
        focused_ = true;
        placeSidebar();
        sidebar_->setFocus(Qt::OtherFocusReason);
    }
}

// ---- save sheet

void RootView::saveSheetChanged() {
    const std::shared_ptr<InputDevice>& device = model_.navigation().saveSheetDevice();
    if (saveSheet_) {
        // A sheet for another device (or none) replaces this one; closing it is not the user
        // dismissing the new one.
        saveSheet_->disconnect(this);
        saveSheet_->close();
        saveSheet_->deleteLater();
        saveSheet_ = nullptr;
    }
    if (!device) return;
    QDialog* sheet = destinations_.saveSheet(model_, device, window());
    saveSheet_ = sheet;
    sheet->setWindowModality(Qt::WindowModal);
    connect(sheet, &QDialog::finished, this, [this, sheet] {
        if (saveSheet_ != sheet) return;
        saveSheet_ = nullptr;
        sheet->deleteLater();
        model_.navigation().setSaveSheetDevice(nullptr);
    });
    sheet->open();
}

} // namespace Tessarine
