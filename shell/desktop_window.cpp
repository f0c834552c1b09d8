#include "shell/desktop_window.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/coregraphics/cg_image.h"

namespace quorvel::shell {

namespace {

int units(CGFloat value) {
    return std::max(1, static_cast<int>(std::lround(value)));
}

// SDL wakes its event wait with a message to the window, sent over a second connection to the X
// server; one that the server handles just after the window was destroyed fails, which SDL ignores,
// but the failure is read when SDL closes that connection, and Xlib's default handler would end the
// program over it. Only that failure is let pass; every other goes on to the default handler.
XErrorHandler defaultErrorHandler = nullptr;

int passWakeUpToGoneWindow(Display* display, XErrorEvent* error) {
    if (error->request_code == X_SendEvent && error->error_code == BadWindow) return 0;
    return defaultErrorHandler ? defaultErrorHandler(display, error) : 0;
}

}  // namespace

void DesktopWindow::prepareVideo() {
    // SDL puts back the handler it found when it shuts down, so ours must be there before it starts.
    if (!defaultErrorHandler) defaultErrorHandler = XSetErrorHandler(passWakeUpToGoneWindow);
    // The app decides when the screen stays awake, not SDL; a click that focuses the window also
    // touches the screen, as it would on a device.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_APP_NAME, "Quorvel");
    // Frames come whole from our own renderer at the output's size, so showing one is a copy into the
    // window: SDL's software renderer does that through the window system's shared memory, without
    // starting (or even probing) a GPU driver; the environment's SDL_RENDER_DRIVER and
    // SDL_FRAMEBUFFER_ACCELERATION still choose otherwise.
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_DEFAULT);
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
}

std::unique_ptr<DesktopWindow> DesktopWindow::open(const std::string& title, CGSize size,
                                                   std::string& error) {
    SDL_Window* window =
        SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, units(size.width),
                         units(size.height), SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE);
    if (!window) {
        error = SDL_GetError();
        return nullptr;
    }
    // No vertical sync, so showing a frame never blocks the run loop.
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer) {
        error = SDL_GetError();
        SDL_DestroyWindow(window);
        return nullptr;
    }
    return std::unique_ptr<DesktopWindow>(new DesktopWindow(window, renderer));
}

DesktopWindow::~DesktopWindow() {
    if (texture_) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
}

CGSize DesktopWindow::size() const {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    return {CGFloat(w), CGFloat(h)};
}

CGSize DesktopWindow::outputSize() const {
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(renderer_, &w, &h) != 0) return size();
    return {CGFloat(w), CGFloat(h)};
}

int DesktopWindow::display() const {
    return std::max(0, SDL_GetWindowDisplayIndex(window_));
}

CGSize DesktopWindow::desktopSize(int display) {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) return {};
    return {CGFloat(usable.w), CGFloat(usable.h)};
}

void DesktopWindow::resize(CGSize size) {
    SDL_SetWindowSize(window_, units(size.width), units(size.height));
}

void DesktopWindow::setTitle(const std::string& title) {
    if (title != SDL_GetWindowTitle(window_)) SDL_SetWindowTitle(window_, title.c_str());
}

void DesktopWindow::setIcon(const platform::CGImage& image) {
    // SDL wants straight alpha; the bitmap keeps premultiplied pixels, which pixelAt undoes.
    const int w = image.pixelWidth(), h = image.pixelHeight();
    std::vector<Uint32> pixels(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const auto p = image.pixelAt(x, y);
            pixels[static_cast<std::size_t>(y) * w + x] =
                Uint32(p.a) << 24 | Uint32(p.r) << 16 | Uint32(p.g) << 8 | Uint32(p.b);
        }
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return;
    SDL_SetWindowIcon(window_, surface);
    SDL_FreeSurface(surface);
}

void DesktopWindow::inhibitScreensaver(bool inhibit) {
    if (inhibit == !SDL_IsScreenSaverEnabled()) return;
    if (inhibit) {
        SDL_DisableScreenSaver();
    } else {
        SDL_EnableScreenSaver();
    }
}

void DesktopWindow::present(cairo_surface_t* frame, const platform::DamageRegion& changed) {
    cairo_surface_flush(frame);
    const int w = cairo_image_surface_get_width(frame), h = cairo_image_surface_get_height(frame);
    const bool whole = !texture_ || w != textureWidth_ || h != textureHeight_;
    if (whole) {
        if (texture_) SDL_DestroyTexture(texture_);
        // Cairo's ARGB32 is SDL's ARGB8888: one native-endian word a pixel.
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, w, h);
        if (!texture_) return;
        SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
        textureWidth_ = w;
        textureHeight_ = h;
    }
    const unsigned char* pixels = cairo_image_surface_get_data(frame);
    const int stride = cairo_image_surface_get_stride(frame);
    if (whole) {
        SDL_UpdateTexture(texture_, nullptr, pixels, stride);
    } else {
        // Only the changed rows and columns travel to the texture.
        for (const auto& r : changed.rects()) {
            const SDL_Rect area{int(r.origin.x), int(r.origin.y), int(r.size.width), int(r.size.height)};
            SDL_UpdateTexture(texture_, &area, pixels + std::size_t(area.y) * stride + std::size_t(area.x) * 4,
                              stride);
        }
    }
    presentAgain();
}

void DesktopWindow::presentAgain() {
    if (!texture_) return;
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

}  // namespace quorvel::shell
