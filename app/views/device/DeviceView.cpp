#include "app/views/device/DeviceView.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/model/AppModel.h"
#include "app/views/device/DeviceHeader.h"
#include "app/views/device/DeviceHeaderText.h"
#include "app/views/kit/Divider.h"
#include "app/views/kit/SlicedBuild.h"

namespace Tessarine {

namespace {

// The live column asks for its ideal width and gives way down to its minimum.
class LiveColumn final : public QScrollArea {
public:
    QSize sizeHint() const override { return {DeviceView::liveIdeal, QScrollArea::sizeHint().height()}; }
};

} // namespace

DeviceView::DeviceView(AppModel& model, std::shared_ptr<InputDevice> device, DeviceTabs tabs, QWidget* parent)
    : QWidget(parent), model_(model), device_(std::move(device)), tabs_(std::move(tabs)),
      header_(new DeviceHeader(model.deviceLists(), model.navigation(), model.demo(), device_)),
      host_(new QWidget) {
    setObjectName(QStringLiteral("device-view"));
    setAccessibleName(QString::fromStdString(device_->info().name));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(header_);
    stack->addWidget(new Divider(Qt::Horizontal));
    auto* hostLayout = new QVBoxLayout(host_);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(host_, 1);

    shownRaw_ = DeviceHeaderText::rawDevice(device_);
    historyUnit_ = currentUnitKey();
    connect(&model_.navigation(), &Navigation::tabChanged, this, [this] { showTab(); });
    connect(device_.get(), &InputDevice::rawPartnerChanged, this, &DeviceView::partnerChanged);
    connect(device_.get(), &InputDevice::infoChanged, this, &DeviceView::unitMayHaveChanged);
    connect(&model_.deviceLists(), &DeviceLists::unitsChanged, this, &DeviceView::unitMayHaveChanged);
    partnerChanged();
    showTab(true);
}

void DeviceView::showTab(bool force) {
    const DetailTab tab = model_.navigation().tab();
    if (tab == shown_ && content_ && !force) return;
    shown_ = tab;
    liveColumn_ = nullptr;
    livePanel_ = nullptr;
    benchPanel_ = nullptr;
    QWidget* next = nullptr;
    switch (tab) {
    case DetailTab::bench:
        next = makeBench();
        break;
    case DetailTab::raw:
        next = tabs_.rawHID(model_, shownRaw_, device_);
        break;
    case DetailTab::history:
        next = tabs_.history(model_, historyUnit_);
        break;
    }
    if (content_) {
        host_->layout()->removeWidget(content_);
        content_->hide();
        content_->deleteLater();
    }
    content_ = next;
    host_->layout()->addWidget(content_);
}

QWidget* DeviceView::makeBench() {
    auto* bench = new QWidget;
    bench->setObjectName(QStringLiteral("device-bench"));
    auto* row = new QHBoxLayout(bench);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    liveColumn_ = new LiveColumn;
    liveColumn_->setObjectName(QStringLiteral("live-column"));
    liveColumn_->setFrameShape(QFrame::NoFrame);
    liveColumn_->setWidgetResizable(true);
    liveColumn_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    liveColumn_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    liveColumn_->setMinimumWidth(liveMinimum);
    liveColumn_->setMaximumWidth(liveMaximum);
    liveColumn_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    livePanel_ = tabs_.livePanel(model_, device_);
    liveColumn_->setWidget(livePanel_);
    if (SlicedBuild::slicing()) {
        // The drawn controller, the stick plots and the button grid are most of what the first
        // frame would paint: the column shows empty in it and fills in on the next turn, at the
        // place and size it has from the start, since its width does not follow its content.
        livePanel_->hide();
        auto* reveal = new SlicedBuild(liveColumn_);
        reveal->add([panel = QPointer<QWidget>(livePanel_)] {
            if (panel) panel->show();
        });
    }

    benchPanel_ = tabs_.benchPanel(model_, device_);
    benchPanel_->setMinimumWidth(std::max(benchPanel_->minimumWidth(), benchMinimum));
    benchPanel_->setSizePolicy(QSizePolicy::Expanding, benchPanel_->sizePolicy().verticalPolicy());

    row->addWidget(liveColumn_);
    row->addWidget(new Divider(Qt::Vertical));
    row->addWidget(benchPanel_, 1);
    return bench;
}

void DeviceView::partnerChanged() {
    // The unit key may come from the partner's serial, and the Raw HID tab lists the partner.
    disconnect(partnerInfo_);
    if (const auto& partner = device_->rawPartner())
        partnerInfo_ =
            connect(partner.get(), &InputDevice::infoChanged, this, &DeviceView::unitMayHaveChanged);
    auto raw = DeviceHeaderText::rawDevice(device_);
    const bool rawChanged = raw != shownRaw_;
    shownRaw_ = std::move(raw);
    if (rawChanged && shown_ == DetailTab::raw && content_) showTab(true);
    unitMayHaveChanged();
}

void DeviceView::unitMayHaveChanged() {
    std::string key = currentUnitKey();
    if (key == historyUnit_) return;
    historyUnit_ = std::move(key);
    if (shown_ == DetailTab::history && content_) showTab(true);
}

std::string DeviceView::currentUnitKey() const {
    return model_.makeSession(*device_).unitKey();
}

} // namespace Tessarine
