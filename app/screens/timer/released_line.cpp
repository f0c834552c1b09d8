#include "app/screens/timer/released_line.h"

#include "platform/foundation/console.h"

namespace quorvel {

void printReleased(const std::string& className) {
    platform::Console::print("Released (•̀ᴗ•́)و ̑̑ " + std::string(" ") + className);
}

}  // namespace quorvel
