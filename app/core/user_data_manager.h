#pragma once

#include "app/core/settings_records.h"

namespace quorvel {

// Reads the settings of the standard suite back into records, afresh on every call; never writes.
// An absent key, or a value of another kind than its reader expects, gives the field's default.
class UserDataManager {
public:
    static PomodoroData getPomodoroData();
    static AppSettingData getAppSettingData();
    static SoundSettingData getSoundSettingData();
};

}  // namespace quorvel
