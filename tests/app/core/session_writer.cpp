// Stores sessions one after another in the data root given as the first argument and prints the
// number of each one whose insert returned true, until it is killed or has stored the count given
// as the second argument.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/core/core_data_manager.h"
#include "platform/foundation/data_root.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    platform::DataRoot::setPath(argv[1]);
    const long count = std::atol(argv[2]);
    auto manager = quorvel::CoreDataManager::shared();
    manager->setUpStore();
    auto context = quorvel::CoreDataManager::context();
    if (!context) return 1;
    manager->setNumberHolder(quorvel::NumberHolder::fetchOrInsert(*context));
    if (!manager->save()) return 1;
    for (long i = 0; i < count; ++i) {
        if (!manager->insertSession(i % 90, quorvel::SessionType::focus, platform::NSDate(1000.0 + i)))
            continue;
        const std::string line = std::to_string(i) + "\n";
        if (::write(STDOUT_FILENO, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 1;
    }
    return 0;
}
