// Draws the app's pictures: the three menu icons ("focus", "chart", "setting") and the two hand
// gestures of the first-run guidance, white on clear, at 2x and 3x, into the given folder.
//   c++ -std=c++20 tools/make_images.cpp $(pkg-config --cflags --libs cairo) -o make_images
//   ./make_images resources/images
#include <cairo.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <numbers>
#include <string>

namespace {

using Draw = std::function<void(cairo_t*)>;
constexpr double kPi = std::numbers::pi;

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

// A stopwatch: ring, crown and a hand at ten past.
void focus(cairo_t* cr) {
    cairo_set_line_width(cr, 2);
    cairo_arc(cr, 11, 12.5, 8, 0, 2 * kPi);
    cairo_stroke(cr);
    roundedRect(cr, 9, 1, 4, 2.5, 1);
    cairo_fill(cr);
    cairo_move_to(cr, 11, 12.5);
    cairo_line_to(cr, 14.5, 9);
    cairo_stroke(cr);
}

// Three bars rising to the right on a base line.
void chart(cairo_t* cr) {
    const double heights[] = {7, 12, 17};
    for (int i = 0; i < 3; ++i) {
        roundedRect(cr, 3 + i * 6, 19.5 - heights[i], 4, heights[i], 1);
        cairo_fill(cr);
    }
    cairo_rectangle(cr, 1, 20, 20, 1.5);
    cairo_fill(cr);
}

// A gear of eight teeth with a hole.
void setting(cairo_t* cr) {
    cairo_translate(cr, 11, 11);
    for (int i = 0; i < 8; ++i) {
        cairo_save(cr);
        cairo_rotate(cr, i * kPi / 4);
        cairo_rectangle(cr, -2, -10, 4, 4);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_arc(cr, 0, 0, 7.5, 0, 2 * kPi);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 3, 0, 2 * kPi);
    cairo_fill(cr);
}

// A hand pointing up: the index finger, three folded fingers and the thumb, as rounded shapes.
void hand(cairo_t* cr, double x, double y) {
    roundedRect(cr, x, y, 14, 44, 7);  // index finger
    roundedRect(cr, x + 13, y + 26, 12, 24, 6);
    roundedRect(cr, x + 24, y + 30, 12, 22, 6);
    roundedRect(cr, x + 35, y + 34, 11, 20, 5.5);
    roundedRect(cr, x - 12, y + 40, 26, 12, 6);  // thumb
    roundedRect(cr, x - 4, y + 36, 50, 40, 14);  // palm
    cairo_fill(cr);
}

// The hand with an arrow to the left over it: swipe to the next panel.
void swipe(cairo_t* cr) {
    hand(cr, 62, 44);
    cairo_set_line_width(cr, 5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, 112, 22);
    cairo_line_to(cr, 32, 22);
    cairo_move_to(cr, 44, 10);
    cairo_line_to(cr, 32, 22);
    cairo_line_to(cr, 44, 34);
    cairo_stroke(cr);
}

// The hand with rings round its fingertip: tap.
void touch(cairo_t* cr) {
    hand(cr, 62, 44);
    cairo_set_line_width(cr, 4);
    for (double radius : {14.0, 24.0}) {
        cairo_arc(cr, 69, 44, radius, kPi * 1.05, kPi * 1.95);
        cairo_stroke(cr);
    }
}

bool write(const std::string& folder, const std::string& name, int side, const Draw& draw) {
    for (int scale : {2, 3}) {
        cairo_surface_t* surface =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side * scale, side * scale);
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, scale, scale);
        cairo_set_source_rgba(cr, 1, 1, 1, 1);
        draw(cr);
        cairo_destroy(cr);
        const std::string path = folder + "/" + name + "@" + std::to_string(scale) + "x.png";
        const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(surface);
        if (!ok) {
            std::cerr << "cannot write " << path << "\n";
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_images <folder>\n";
        return 2;
    }
    const std::string folder = argv[1];
    const bool ok = write(folder, "focus", 22, focus) && write(folder, "chart", 22, chart) &&
                    write(folder, "setting", 22, setting) &&
                    write(folder, "HandGestures_Swipe", 140, swipe) &&
                    write(folder, "HandGestures_Touch", 140, touch);
    return ok ? 0 : 1;
}
