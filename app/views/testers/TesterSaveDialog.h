#pragma once
// The question a tester's "Save Session…" asks first: which unit the measurement belongs to, so a
// keyboard's or a mouse's serial is kept like a pad's. The alert names the tester; its unit field
// is prefilled with the tester's name and selected, so a scanned or typed serial replaces it.
#include <functional>
#include <string>

#include "app/views/kit/FieldAlert.h"

namespace Tessarine {

class TesterSaveDialog : public FieldAlert {
    Q_OBJECT

public:
    TesterSaveDialog(const QString& tester, QWidget* parent = nullptr);

    QLineEdit* unitField() const { return field(); }

    // Opens the alert over `parent` and returns at once; `save` gets the unit when the user
    // saves. The alert deletes itself when it closes.
    static TesterSaveDialog* ask(QWidget* parent, const std::string& tester,
                                 std::function<void(const std::string& unit)> save);
};

} // namespace Tessarine
