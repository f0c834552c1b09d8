// Writes the binary seeds of the fuzz corpora of files the app now writes in binary: each XML seed of the
// sync's change files and of the notification centre's pending requests, read and written again by the
// app's own reader and writer, beside it as NAME.bplist. Deterministic: the same seeds make the same files.
//
// Usage: make_fuzz_seeds <fuzz corpus folder>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_folder.h"
#include "platform/ensembles/change_file.h"
#include "platform/foundation/data_root.h"
#include "platform/usernotifications/pending_notification_store.h"

namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& file) {
    std::ostringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    return bytes.str();
}

std::vector<fs::path> xmlSeeds(const fs::path& folder) {
    std::vector<fs::path> seeds;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".plist") seeds.push_back(entry.path());
    std::ranges::sort(seeds);
    return seeds;
}

bool write(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
    out.close();
    std::printf("%s\n", file.c_str());
    return static_cast<bool>(out);
}

// As the ensemble writes a merge's changes into the cloud folder.
bool writeChangeFiles(const fs::path& folder) {
    for (const auto& seed : xmlSeeds(folder)) {
        std::string problem;
        const auto file = platform::ChangeFile::parse(contentsOf(seed), &problem);
        const auto bytes = file ? file->serialize(&problem) : std::nullopt;
        if (!bytes || !write(fs::path(seed).replace_extension(".bplist"), *bytes)) {
            std::fprintf(stderr, "make_fuzz_seeds: %s: %s\n", seed.c_str(), problem.c_str());
            return false;
        }
    }
    return true;
}

// As the notification centre saves its pending requests at its next change: through the store, in a
// data root of its own.
bool writePendingRequests(const fs::path& folder) {
    const quorvel::fuzzing::FuzzFolder scratch("make-fuzz-seeds");
    platform::DataRoot::setPath(scratch.path());
    const auto store = platform::PendingNotificationStore::file();
    fs::create_directories(store.parent_path());
    for (const auto& seed : xmlSeeds(folder)) {
        fs::copy_file(seed, store, fs::copy_options::overwrite_existing);
        if (!platform::PendingNotificationStore::save(platform::PendingNotificationStore::load()) ||
            !write(fs::path(seed).replace_extension(".bplist"), contentsOf(store))) {
            std::fprintf(stderr, "make_fuzz_seeds: %s: cannot write it again\n", seed.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <fuzz corpus folder>\n");
        return 2;
    }
    const fs::path corpus = argv[1];
    const bool written =
        writeChangeFiles(corpus / "change_file") && writePendingRequests(corpus / "pending_notifications");
    return written ? 0 : 1;
}
