#include "shell/device_choices.h"

#include <array>
#include <cmath>
#include <utility>

namespace quorvel::shell {

namespace {

using platform::UIDeviceOrientation;

constexpr std::array<std::pair<std::string_view, UIDeviceOrientation>, 6> kOrientations{{
    {"portrait", UIDeviceOrientation::portrait},
    {"upside-down", UIDeviceOrientation::portraitUpsideDown},
    {"landscape-left", UIDeviceOrientation::landscapeLeft},
    {"landscape-right", UIDeviceOrientation::landscapeRight},
    {"face-up", UIDeviceOrientation::faceUp},
    {"face-down", UIDeviceOrientation::faceDown},
}};

constexpr std::array<std::pair<std::string_view, double>, 4> kSplits{{
    {"full", 1.0},
    {"2/3", 2.0 / 3},
    {"1/2", 1.0 / 2},
    {"1/3", 1.0 / 3},
}};

template <class Table>
std::string joinedNames(const Table& table) {
    std::string names;
    for (const auto& [name, value] : table) names += (names.empty() ? "" : ", ") + std::string(name);
    return names;
}

// The listed share nearest to `share`, as an index into kSplits.
std::size_t splitIndex(double share) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < kSplits.size(); ++i) {
        if (std::abs(kSplits[i].second - share) < std::abs(kSplits[best].second - share)) best = i;
    }
    return best;
}

}  // namespace

std::optional<platform::DeviceProfile> DeviceChoices::model(std::string_view identifier) {
    return platform::DeviceProfile::named(identifier);
}

std::string DeviceChoices::modelNames(Models which) {
    std::string names;
    for (const auto& model : platform::DeviceProfile::knownModels()) {
        if (which == Models::tablets && !canSplit(model)) continue;
        names += (names.empty() ? "" : ", ") + model.identifier;
    }
    return names;
}

std::optional<UIDeviceOrientation> DeviceChoices::orientation(std::string_view name) {
    for (const auto& [known, value] : kOrientations) {
        if (known == name) return value;
    }
    return std::nullopt;
}

std::string DeviceChoices::orientationName(UIDeviceOrientation orientation) {
    for (const auto& [name, value] : kOrientations) {
        if (value == orientation) return std::string(name);
    }
    return "portrait";
}

std::string DeviceChoices::orientationNames() {
    return joinedNames(kOrientations);
}

std::optional<double> DeviceChoices::split(std::string_view name) {
    for (const auto& [known, share] : kSplits) {
        if (known == name) return share;
    }
    return std::nullopt;
}

std::string DeviceChoices::splitName(double share) {
    return std::string(kSplits[splitIndex(share)].first);
}

std::string DeviceChoices::splitNames() {
    return joinedNames(kSplits);
}

double DeviceChoices::nextSplit(double share) {
    return kSplits[(splitIndex(share) + 1) % kSplits.size()].second;
}

bool DeviceChoices::canSplit(const platform::DeviceProfile& profile) {
    return profile.family == platform::DeviceFamily::pad;
}

}  // namespace quorvel::shell
