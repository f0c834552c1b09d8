#include "app/screens/settings/settings_writer.h"

namespace quorvel {

void storeSettings(std::initializer_list<UserDefaultProperties> values) {
    for (const UserDefaultProperties& value : values) UserDefaultProperties::save(value);
    if (auto standard = UserDefaultProperties::standardDefaults()) standard->synchronize();
    if (auto group = UserDefaultProperties::appGroupDefaults()) group->synchronize();
}

}  // namespace quorvel
