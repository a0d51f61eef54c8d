#pragma once
// Warnings of the application's own logging categories fail the running test unless the test
// says it expects them: a failure the code reports is either under test or a fault.
//
//     ExpectedWarnings expected("tessarine.devices.hid", "Permission denied");
//     ... code that warns ...
//     EXPECT_EQ(expected.count(), 1);
#include <QString>
#include <QStringList>

namespace Tessarine::TestLog {

// Installs the message handler; the test main calls it once before the tests run.
void install();

// While alive, warnings of `category` whose text contains `fragment` are expected (counted, not
// failed). Expectations nest; the innermost matching one counts the message.
class ExpectedWarnings {
public:
    ExpectedWarnings(QString category, QString fragment = {});
    ~ExpectedWarnings();
    ExpectedWarnings(const ExpectedWarnings&) = delete;
    ExpectedWarnings& operator=(const ExpectedWarnings&) = delete;

    int count() const;

private:
    QString category_;
    QString fragment_;
    int count_ = 0;
    friend struct Registry;
};

// While alive, keeps the text of every message of `category`, of any level; its debug messages,
// off by default, are switched on meanwhile. Captures nest.
class CapturedMessages {
public:
    explicit CapturedMessages(QString category);
    ~CapturedMessages();
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;

    QStringList messages() const;

private:
    QString category_;
    QStringList messages_;
    friend struct Registry;
};

} // namespace Tessarine::TestLog
