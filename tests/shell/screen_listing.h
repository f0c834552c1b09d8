#pragma once

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"

namespace quorvel::testing {

// A label or control as the program lists it: its frame on the screen and the part of it that shows.
struct ShownView {
    platform::CGRect frame, visible;
    std::string type, text;

    std::string describe() const {
        std::ostringstream out;
        out << type << " \"" << text << "\" at " << frame.minX() << "," << frame.minY() << " "
            << frame.width() << "x" << frame.height();
        return out.str();
    }
};

// One screenshot's listing: the screen, its safe area and what shows on it.
struct ScreenListing {
    platform::CGRect screen, safe;
    std::vector<ShownView> views;

    // What the program listed in `lines` from `from` on.
    static ScreenListing read(const std::vector<std::string>& lines, std::size_t from) {
        ScreenListing listing;
        for (std::size_t i = from; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (const auto at = line.find("quorvel: screen "); at != std::string::npos) {
                std::istringstream in(line.substr(at + 16));
                listing.screen = rect(in);
                std::string safe, area;
                in >> safe >> area;
                listing.safe = rect(in);
            } else if (const auto at = line.find("quorvel: view "); at != std::string::npos) {
                std::istringstream in(line.substr(at + 14));
                ShownView view;
                std::string bar;
                view.frame = rect(in);
                in >> bar;
                view.visible = rect(in);
                in >> bar;
                std::string rest;
                std::getline(in, rest);
                const auto split = rest.find(" | ");
                view.type = trimmed(rest.substr(0, split));
                view.text = split == std::string::npos ? "" : rest.substr(split + 3);
                listing.views.push_back(view);
            }
        }
        return listing;
    }

    // The view showing that text, topmost on the screen when several do.
    std::optional<ShownView> find(const std::string& text) const {
        std::optional<ShownView> found;
        for (const auto& view : views) {
            if (view.text == text && (!found || view.visible.minY() < found->visible.minY())) found = view;
        }
        return found;
    }

    // The first view whose text starts with `prefix`.
    std::optional<ShownView> findStartingWith(const std::string& prefix) const {
        for (const auto& view : views) {
            if (view.text.starts_with(prefix)) return view;
        }
        return std::nullopt;
    }

private:
    static platform::CGRect rect(std::istringstream& in) {
        platform::CGFloat x = 0, y = 0, width = 0, height = 0;
        in >> x >> y >> width >> height;
        return platform::CGRect(x, y, width, height);
    }
    static std::string trimmed(const std::string& text) {
        const auto begin = text.find_first_not_of(' ');
        const auto end = text.find_last_not_of(' ');
        return begin == std::string::npos ? "" : text.substr(begin, end - begin + 1);
    }
};

}  // namespace quorvel::testing
