// Saves notes into a store one at a time and prints each one's number once its save returned, until it
// is killed:
//   ensemble_note_writer <model folder> <store file> <first number>
// Each note is "k<number>" with that count.
#include <unistd.h>

#include <string>

#include "tests/platform/coredata/coredata_test_support.h"

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const auto context = quorvel::testing::openContext(argv[1], argv[2]);
    if (!context || !context->persistentStoreCoordinator()->hasStore()) return 1;
    for (long number = std::stol(argv[3]);; ++number) {
        auto note = context->insertNewObjectForEntityForName("Note");
        const auto digits = std::to_string(number);
        note->setValueForKey(std::string("k").append(digits), "uniqueIdentifier");
        note->setValueForKey(std::int64_t{number}, "count");
        if (!context->save()) return 1;
        const auto line = std::string(digits).append("\n");
        if (::write(STDOUT_FILENO, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 1;
    }
}
