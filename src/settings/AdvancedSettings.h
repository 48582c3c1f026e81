#pragma once
// What the advanced settings dialog does to the encoder settings, without its widgets: which
// setting each two-state control edits (several the other way round), the values Restore
// Defaults puts back, the checks of the two number boxes and the batch limit, and the access code.

#include "model/PagerDatabase.h"

#include <QByteArrayView>
#include <array>

namespace qpes {

// The dialog's two-state controls. The state of a check box is "checked", the state of an
// option pair is "option 1 selected".
enum class SettingsSwitch {
    CarrierDetect,
    PPHReset,
    NAKBeforeFlow,
    IDAsCap,
    BriefACK,
    PET,
    CDPolarity,
    DataPolarity
};

// Stores a control's state in the setting it edits.
void storeSwitch(EncoderSettings& settings, SettingsSwitch control, bool state);
// The state a control shows for the settings.
bool switchState(const EncoderSettings& settings, SettingsSwitch control);

struct SwitchDefault {
    SettingsSwitch control;
    bool state;
};
// Restore Defaults sets the controls in this order, then the two number boxes.
extern const std::array<SwitchDefault, 8> DefaultSwitches;
inline constexpr char DefaultDutyCycle[] = "50";
inline constexpr char DefaultMaxBatch[] = "10";

// The first fault OK finds in the two number boxes.
enum class EntryFault { None, Empty, DutyCycle, MaxBatch };
EntryFault checkEntries(QByteArrayView dutyCycle, QByteArrayView maxBatch);

// While duty cycle management is active (any duty cycle but exactly "0") a batch above the
// limit is cut down to it. Both texts are digits of any length.
inline constexpr int BatchLimit = 32;
bool batchOverLimit(QByteArrayView dutyCycle, QByteArrayView maxBatch);

// The access prompt's code, in any mix of upper and lower case.
bool accessCodeMatches(const QString& typed);

} // namespace qpes
