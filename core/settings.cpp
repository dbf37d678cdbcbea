#include "core/settings.h"

#include "core/settings_options.h"

CSettings::CSettings() : CurrentProfile(QString::fromUtf16(kDefaultProfileName)) {
  DisableGetStorageIDIOCTL = 0;
  ApplyOptionDefaults(this, false, false);
}

CSettings settings;

QString EffectiveProfileName() {
  return settings.CurrentProfile.isEmpty() ? QString::fromUtf16(kDefaultProfileName)
                                           : settings.CurrentProfile;
}
