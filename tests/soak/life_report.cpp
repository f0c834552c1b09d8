#include "tests/soak/life_report.h"

#include <cstdio>
#include <sstream>

namespace quorvel::soak {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at - from));
        if (at == std::string::npos) return parts;
        from = at + 1;
    }
}

// The answer is one line.
std::string oneLine(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '\n' ? std::string(" / ") : std::string(1, c);
    return out;
}

std::string listText(const std::vector<std::string>& words) {
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) out += (i ? ";" : "") + words[i];
    return out;
}

}  // namespace

std::string exactNumber(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string LifeReport::text() const {
    std::string out = "now=" + exactNumber(now) + " goal=" + std::to_string(goal) +
                      " round=" + std::to_string(round) + " running=" + (running ? "1" : "0") +
                      " front=" + (inFront ? "1" : "0") + " checked=" + exactNumber(resetChecked) +
                      " full=" + (full ? "1" : "0") + " screen=";
    out += screen.empty() ? "-" : screen;
    out += " settings=";
    out += settings.empty() ? "-" : settings;
    out += " started=";
    for (std::size_t i = 0; i < startedMinutes.size(); ++i) {
        if (i) out += ',';
        out += std::to_string(startedMinutes[i]);
    }
    out += " added=";
    for (std::size_t i = 0; i < added.size(); ++i) {
        if (i) out += ';';
        out += added[i].identifier;
        out += '@';
        out += exactNumber(added[i].stamp);
        out += '@';
        out += std::to_string(added[i].minutes);
    }
    out += " gone=" + listText(gone) + " twice=" + listText(twice) + " held=" + listText(held);
    return out;
}

std::optional<LifeReport> LifeReport::parse(const std::string& text) {
    LifeReport report;
    std::istringstream in(text);
    std::string field;
    try {
        while (in >> field) {
            const auto equals = field.find('=');
            if (equals == std::string::npos) return std::nullopt;
            const std::string key = field.substr(0, equals), value = field.substr(equals + 1);
            if (key == "now") {
                report.now = std::stod(value);
            } else if (key == "goal") {
                report.goal = std::stoll(value);
            } else if (key == "round") {
                report.round = std::stoll(value);
            } else if (key == "running") {
                report.running = value == "1";
            } else if (key == "front") {
                report.inFront = value == "1";
            } else if (key == "checked") {
                report.resetChecked = std::stod(value);
            } else if (key == "full") {
                report.full = value == "1";
            } else if (key == "screen") {
                report.screen = value == "-" ? "" : value;
            } else if (key == "settings") {
                report.settings = value == "-" ? "" : value;
            } else if (key == "started") {
                for (const auto& minutes : split(value, ','))
                    report.startedMinutes.push_back(std::stoll(minutes));
            } else if (key == "added") {
                for (const auto& entry : split(value, ';')) {
                    const auto parts = split(entry, '@');
                    if (parts.size() != 3) return std::nullopt;
                    report.added.push_back({parts[0], std::stod(parts[1]), std::stoll(parts[2])});
                }
            } else if (key == "gone") {
                report.gone = split(value, ';');
            } else if (key == "twice") {
                report.twice = split(value, ';');
            } else if (key == "held") {
                report.held = split(value, ';');
            }
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return report;
}

LifeAnswer LifeAnswer::failure(std::string invariant, std::string message) {
    return LifeAnswer{std::nullopt, std::move(invariant), std::move(message)};
}

std::string LifeAnswer::text() const {
    if (report) return "ok " + report->text();
    return "fail " + invariant + " " + oneLine(message);
}

std::optional<LifeAnswer> LifeAnswer::parse(const std::string& line) {
    LifeAnswer answer;
    if (line.rfind("ok ", 0) == 0) {
        answer.report = LifeReport::parse(line.substr(3));
        if (!answer.report) return std::nullopt;
        return answer;
    }
    if (line.rfind("fail ", 0) != 0) return std::nullopt;
    const std::string rest = line.substr(5);
    const auto space = rest.find(' ');
    answer.invariant = rest.substr(0, space);
    answer.message = space == std::string::npos ? "" : rest.substr(space + 1);
    return answer;
}

}  // namespace quorvel::soak
