#include "settings/AdvancedSettings.h"

#include "model/Text.h"

namespace qpes {

namespace {

struct Mapping {
    bool EncoderSettings::*setting;
    bool inverted; // the setting is true when the control's state is false
};

Mapping mappingOf(SettingsSwitch control) {
    switch (control) {
    case SettingsSwitch::CarrierDetect:
        return {&EncoderSettings::IgnoreRFCD, true};
    case SettingsSwitch::PPHReset:
        return {&EncoderSettings::PPHReset, false};
    case SettingsSwitch::NAKBeforeFlow:
        return {&EncoderSettings::FlowBeforeACK, false};
    case SettingsSwitch::IDAsCap:
        return {&EncoderSettings::IDAsCap, false};
    case SettingsSwitch::BriefACK:
        return {&EncoderSettings::BriefACK, false};
    case SettingsSwitch::PET:
        return {&EncoderSettings::PETEnabled, false};
    case SettingsSwitch::CDPolarity: // option 0, "0V = Carrier Detected", inverts
        return {&EncoderSettings::InvertRFCD, true};
    case SettingsSwitch::DataPolarity:
        return {&EncoderSettings::InvertData, false};
    }
    return {&EncoderSettings::PETEnabled, false};
}

} // namespace

void storeSwitch(EncoderSettings& settings, SettingsSwitch control, bool state) {
    const Mapping m = mappingOf(control);
    settings.*m.setting = state != m.inverted;
}

bool switchState(const EncoderSettings& settings, SettingsSwitch control) {
    const Mapping m = mappingOf(control);
    return settings.*m.setting != m.inverted;
}

const std::array<SwitchDefault, 8> DefaultSwitches{{
    {SettingsSwitch::BriefACK, false},
    {SettingsSwitch::IDAsCap, false},
    {SettingsSwitch::PET, false},
    {SettingsSwitch::CarrierDetect, true},
    {SettingsSwitch::PPHReset, true},
    {SettingsSwitch::NAKBeforeFlow, true},
    {SettingsSwitch::CDPolarity, false},
    {SettingsSwitch::DataPolarity, false},
}};

EntryFault checkEntries(QByteArrayView dutyCycle, QByteArrayView maxBatch) {
    if (dutyCycle.isEmpty() || maxBatch.isEmpty())
        return EntryFault::Empty;
    if (!isDigits(dutyCycle))
        return EntryFault::DutyCycle;
    if (!isDigits(maxBatch))
        return EntryFault::MaxBatch;
    return EntryFault::None;
}

bool batchOverLimit(QByteArrayView dutyCycle, QByteArrayView maxBatch) {
    if (dutyCycle == QByteArrayView("0"))
        return false;
    // The reader saturates, so a batch of any length compares safely.
    const auto batch = parseDigits(maxBatch);
    return batch && *batch > BatchLimit;
}

bool accessCodeMatches(const QString& typed) {
    return typed.toUpper() == QLatin1String("KEPLA");
}

} // namespace qpes
