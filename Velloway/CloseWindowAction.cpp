#include "Velloway/CloseWindowAction.h"

#include <QApplication>
#include <QWidget>

#include "Velloway/CloseGuard.h"

namespace Velloway {

CloseWindowAction CloseWindowAction::performClose() {
    return {[] {
        if (QWidget* window = QApplication::activeWindow()) window->close();
    }};
}

CloseWindowAction CloseWindowAction::guarded() {
    return {[] { CloseGuard::shared().closeKeyWindow(); }};
}

} // namespace Velloway
