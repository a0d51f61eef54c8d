#include "app/views/kit/LinkOpener.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/base/Logging.h"
#include "app/views/kit/MessageBoxes.h"

namespace Tessarine {

bool openLink(QWidget* parent, const QUrl& url, const UrlOpener& opener) {
    const bool handed = opener ? opener(url) : QDesktopServices::openUrl(url);
    if (handed) return true;
    const QString address = url.toString();
    qCWarning(logViews) << "could not open" << address << ": the desktop has no browser that took it";

    const QString title = QStringLiteral("Couldn't open the page");
    auto* box = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::NoButton, parent);
    box->setObjectName(linkFailureName);
    box->setInformativeText(QStringLiteral("No web browser took the address. Copy it into a browser:\n") + address);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPushButton* copy = box->addButton(QStringLiteral("Copy Address"), QMessageBox::ActionRole);
    copy->setObjectName(QStringLiteral("link-failure-copy"));
    box->setDefaultButton(box->addButton(QMessageBox::Ok));
    box->setAttribute(Qt::WA_DeleteOnClose);
    MessageBoxes::widen(*box);
    QObject::connect(copy, &QPushButton::clicked, box, [address] {
        if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(address);
    });
    box->open();
    return false;
}

} // namespace Tessarine
