#include "tests/soak/walk_step.h"

#include <array>
#include <charconv>
#include <string_view>

#include "platform/uikit/device/device_profile.h"
#include "shell/device_choices.h"

namespace quorvel::soak {

namespace {

constexpr std::string_view kKinds = "tsopbfiaweqkcymghnjdur";

}  // namespace

std::vector<std::string> WalkStep::shellArguments() const {
    const auto& models = platform::DeviceProfile::knownModels();
    const std::uint32_t pick = value % 1000;
    const auto& model = models[pick % models.size()];
    constexpr std::array kOrientations{"portrait", "landscape-left", "landscape-right", "upside-down"};
    constexpr std::array kShares{"full", "2/3", "1/2", "1/3"};
    const auto rest = pick / models.size();
    std::vector<std::string> arguments{"--device", model.identifier, "--orientation",
                                       kOrientations[rest % kOrientations.size()]};
    if (shell::DeviceChoices::canSplit(model)) {
        arguments.insert(arguments.end(), {"--split", kShares[rest / kOrientations.size() % kShares.size()]});
    }
    return arguments;
}

std::string WalkStep::text() const {
    std::string text(1, static_cast<char>(kind));
    text += std::to_string(value);
    return text;
}

std::optional<WalkStep> WalkStep::parse(const std::string& text) {
    if (text.size() < 2 || kKinds.find(text[0]) == std::string_view::npos) return std::nullopt;
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data() + 1, end, value);
    if (error != std::errc() || at != end) return std::nullopt;
    return WalkStep{static_cast<Kind>(text[0]), value};
}

std::string walkText(const Walk& walk) {
    std::string text;
    for (const auto& step : walk) {
        if (!text.empty()) text += ',';
        text += step.text();
    }
    return text;
}

std::optional<Walk> parseWalk(const std::string& text, std::string* error) {
    Walk walk;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        const std::string token = text.substr(from, comma - from);
        const auto step = WalkStep::parse(token);
        if (!step) {
            if (error) *error = "not a step: \"" + token + "\"";
            return std::nullopt;
        }
        walk.push_back(*step);
        from = comma + 1;
    }
    return walk;
}

}  // namespace quorvel::soak
