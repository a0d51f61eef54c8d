#pragma once
// Every user setting the application keeps, each declared once: its key in the settings file,
// its type and the value it reads as when the key is absent or holds something of another type.
// Everything reads and writes settings through these (Preferences::get and set). The keys and
// the way each value is stored are what users' settings files already hold: never rename one.
#include <QString>

#include <utility>

#include "testkit/ControllerFamily.h"
#include "testkit/Thresholds.h"

namespace Tessarine::Settings {

// Whether a key is one of the settings declared here. Each declaration below enters its key when
// the program starts, so the list cannot miss one; the settings file's writer drops any other key
// (left by an older version or a hand edit) before it lets the file grow past its size bound.
bool declared(const QString& key);
void declare(const char* key);

// A plain value: bool, double or QString. An empty text reads as the fallback.
template <class T> struct Setting {
    Setting(const char* key, T fallback) : key(key), fallback(std::move(fallback)) { declare(key); }
    const char* key;
    T fallback;
    QString name() const { return QString::fromLatin1(key); }
};

// A record stored as the bytes of its JSON text (T::toJson, T::fromJson). One that is absent or
// does not decode gives `fallback()`; the reader says which of the two it was.
template <class T> struct Record {
    Record(const char* key, T (*fallback)()) : key(key), fallback(fallback) { declare(key); }
    const char* key;
    T (*fallback)();
    QString name() const { return QString::fromLatin1(key); }
};

// The pass/fail limits of devices without a family profile; written only by a model that persists.
inline const Record<RorozErurEvo::Thresholds> thresholds{"thresholds",
                                                         [] { return RorozErurEvo::Thresholds::standard(); }};
// The changed family profiles; written only by a model that persists.
inline const Record<RorozErurEvo::FamilyProfiles> familyProfiles{"familyProfiles",
                                                                 [] { return RorozErurEvo::FamilyProfiles{}; }};
inline const Setting<bool> useFamilyProfiles{"useFamilyProfiles", true};
inline const Setting<bool> showRawNumbers{"showRawNumbers", false};
// Seconds of the live stick trails.
inline const Setting<double> trailSeconds{"trailSeconds", 1.5};
// Report branding and the technician a new unit record starts with.
inline const Setting<QString> companyName{"companyName", QString()};
inline const Setting<QString> companyContact{"companyContact", QString()};
inline const Setting<QString> defaultTechnician{"defaultTechnician", QString()};
// The settings window's open tab.
inline const Setting<QString> settingsTab{"settingsTab", QStringLiteral("thresholds")};
// The keyboard tester's layout: "iso", or anything else for "ansi".
inline const Setting<QString> keyboardLayout{"keyboardLayout", QStringLiteral("ansi")};
// The size of board the keyboard tester expects: "tenkeyless", "fullSize", or anything else for
// "compact".
inline const Setting<QString> keyboardBoard{"keyboardBoard", QStringLiteral("compact")};
// The main window's size and place when the application last quit ("x,y,width,height", then
// ",maximized" when it was); empty until then.
inline const Setting<QString> mainWindowPlace{"mainWindowPlace", QString()};
// The update feed's address; empty means updates are not set up. Only the user writes it.
inline const Setting<QString> updateFeedURL{"updateFeedURL", QString()};

} // namespace Tessarine::Settings
