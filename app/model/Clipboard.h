#pragma once
// The general clipboard, behind an interface so that the copy command runs headless in tests.
#include <QString>

namespace Tessarine {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces whatever the clipboard held with the plain text.
    virtual void setText(const QString& text) = 0;
};

// The desktop's clipboard through QGuiApplication; nothing happens without a GUI application.
class GuiClipboard final : public Clipboard {
public:
    void setText(const QString& text) override;
};

} // namespace Tessarine
