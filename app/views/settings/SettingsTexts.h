#pragma once
// The settings window's texts, built from values alone so that they are tested without a window:
// the thresholds tab's picker items, headers, buttons and refusals, and the privacy tab's wording.
#include <QString>

#include "testkit/ControllerFamily.h"
#include "testkit/LimitOrder.h"

namespace Tessarine::SettingsTexts {

using RorozErurEvo::ControllerFamily;

// The picker item of the family being edited: "Your thresholds (other devices)" for generic,
// else the family's title with " (changed)" while the shop has its own profile for it.
QString familyLabel(ControllerFamily family, const RorozErurEvo::FamilyProfiles& profiles);
// "Sticks", or "Sticks (Switch)" while a family is edited.
QString sticksHeader(ControllerFamily editing);
// "Restore Defaults", or "Restore Typical Xbox Profile" while a family is edited.
QString restoreTitle(ControllerFamily editing);

// Why the thresholds tab keeps its last good value. `shown` texts are values as the row shows
// them ("20 %", "0.5", "-5 ms").
// "Couldn't save -5 %: a limit can't be negative."
QString negativeRefusal(const QString& shown);
// "Couldn't save: warn 20 % lies above fail 8 %. …", the sentence after it saying which way round
// the pair goes.
QString orderRefusal(const QString& warn, const QString& fail, RorozErurEvo::LimitOrder::Worse worse);
// Couldn't save "abc": not a number.
QString unreadableRefusal(const QString& typed);

// "1.5 s": the stick trace length under its slider.
QString trailText(double seconds);

// The privacy tab's first paragraph, naming the session folder (the home folder written "~").
QString privacyStorage(const QString& sessionsFolder, const QString& home);
// The privacy tab's second paragraph: what goes online and which inputs are read.
QString privacyInputs();

} // namespace Tessarine::SettingsTexts
