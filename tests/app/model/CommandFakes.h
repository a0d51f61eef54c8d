#pragma once
// Stand-ins for the clipboard, the file panels, the report renderer, the sleep inhibitor and a
// controller's outputs, and pads with two sticks, for the tests of the runners and commands.
#include "ModelFakes.h"

#include <QStringList>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Tessarine::Fakes {

class Clipboard final : public Tessarine::Clipboard {
public:
    void setText(const QString& value) override { texts.push_back(value); }
    QStringList texts;
};

// Answers every panel with the next prepared path; absent answers are cancels.
class Chooser final : public FileChooser {
public:
    std::optional<QString> saveFile(Type type, const QString& suggestedName) override {
        asked.push_back({type, suggestedName});
        return answer;
    }
    std::optional<QString> openFile(Type type) override {
        asked.push_back({type, QString()});
        return answer;
    }
    struct Ask {
        Type type;
        QString name;
    };
    std::optional<QString> answer;
    std::vector<Ask> asked;
};

class Renderer final : public ReportRenderer {
public:
    QByteArray render(const ReportInput& input) override {
        if (failure) throw std::runtime_error(*failure);
        rendered += static_cast<int>(input.sessions.size());
        renderedSessions.assign(input.sessions.begin(), input.sessions.end());
        branding = input.branding;
        app = input.app;
        return QByteArray("%PDF-1.4 fake");
    }
    bool print(const ReportInput& input) override {
        if (failure) throw std::runtime_error(*failure);
        printed += static_cast<int>(input.sessions.size());
        printedSessions.assign(input.sessions.begin(), input.sessions.end());
        return true;
    }
    std::optional<std::string> failure;
    // What the last report rendered was made with.
    std::optional<ReportBranding> branding;
    AppInfo app;
    int rendered = 0;
    int printed = 0;
    // The sessions of the last report rendered and printed.
    std::vector<RorozErurEvo::TestSession> renderedSessions;
    std::vector<RorozErurEvo::TestSession> printedSessions;
};

// Counts the holds that are alive.
class Inhibitor final : public SleepInhibitor {
public:
    struct Hold final : Token {
        explicit Hold(int& alive) : alive(alive) { ++alive; }
        ~Hold() override { --alive; }
        int& alive;
    };
    std::unique_ptr<Token> inhibit(const QString& why) override {
        reasons.push_back(why);
        return std::make_unique<Hold>(alive);
    }
    int alive = 0;
    QStringList reasons;
};

class Outputs final : public SilentOutputs {
public:
    void setMotionActive(bool active) override { motion.push_back(active); }
    std::vector<bool> motion; // every switch, in order
};

inline ElementInfo stickElement(std::string id, ElementInfo::Role role, std::string name) {
    ElementInfo e;
    e.id = std::move(id);
    e.kind = ElementInfo::Kind::stick;
    e.role = role;
    e.name = std::move(name);
    e.analog = true;
    return e;
}

// A game pad with a left and a right stick.
inline std::shared_ptr<InputDevice> pad(const std::string& id, const std::string& name,
                                        std::optional<std::string> serial = std::nullopt,
                                        InputDevice::Kind kind = InputDevice::Kind::controller,
                                        std::shared_ptr<DeviceOutputs> outputs = nullptr) {
    std::vector<ElementInfo> sticks{stickElement("ls", ElementInfo::Role::leftStick, "Left Stick"),
                                    stickElement("rs", ElementInfo::Role::rightStick, "Right Stick")};
    return std::make_shared<InputDevice>(id, kind, RorozErurEvo::DeviceInfo{.name = name, .serial = serial}, sticks,
                                         std::make_shared<CaptureBuffer>(), std::move(outputs));
}

inline RorozErurEvo::TestResult someResult(RorozErurEvo::TestKind kind, const std::string& element,
                                           const std::string& headline = "fine") {
    return RorozErurEvo::TestResult(kind, element, RorozErurEvo::ValueSource::processed, RorozErurEvo::Verdict::pass,
                                    headline, {}, {}, std::nullopt, std::nullopt, RorozErurEvo::Dates::now());
}

inline bool said(AppModel& model, const QString& text) { return model.announcer().spoken().contains(text); }

} // namespace Tessarine::Fakes
