// The running session's baseline: the plainest window that counts down a focus session, an SDL2 window
// that redraws "25:00", "24:59", … once a second with Cairo and Pango and shows each frame as quorvel
// does (SDL's software renderer, one streaming texture). It writes "frame N" for every frame shown.
// Given a sound file, it also loops that sound the whole time through SDL2_mixer, opened at the app's
// device settings: the least a program does to show a countdown and play its ticking.
// Usage: countdown_window <width> <height> [<x> <y> [<sound file to loop>]]   (centred unless placed)
#include <SDL.h>
#include <SDL_mixer.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/avfoundation/audio_output.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// The whole window: a red page and the time left in large white figures in its middle.
void paint(cairo_t* cr, PangoLayout* layout, int width, int height, int secondsLeft) {
    cairo_set_source_rgb(cr, 1.0, 0.27, 0.27);
    cairo_paint(cr);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", secondsLeft / 60, secondsLeft % 60);
    pango_layout_set_text(layout, text, -1);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_move_to(cr, (width - w) / 2.0, (height - h) / 2.0);
    pango_cairo_show_layout(cr, layout);
}

// Opens the mixer as the app's audio output does (its rate, 16-bit stereo, its buffer and channels) and
// loops `file` at full volume, as the app plays its ticking; null when either fails.
Mix_Chunk* loop(const char* file) {
    using platform::AudioOutput;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 ||
        Mix_OpenAudioDevice(AudioOutput::kFrequency, AUDIO_S16SYS, 2, AudioOutput::kDeviceFrames, nullptr, 0) != 0)
        return nullptr;
    Mix_AllocateChannels(AudioOutput::kChannels);
    Mix_Chunk* sound = Mix_LoadWAV(file);
    if (sound && Mix_PlayChannel(-1, sound, -1) < 0) {
        Mix_FreeChunk(sound);
        return nullptr;
    }
    return sound;
}

}  // namespace

int main(int argc, char** argv) {
    const int width = argc > 2 ? std::atoi(argv[1]) : 375, height = argc > 2 ? std::atoi(argv[2]) : 667;
    const int x = argc > 4 ? std::atoi(argv[3]) : SDL_WINDOWPOS_CENTERED;
    const int y = argc > 4 ? std::atoi(argv[4]) : SDL_WINDOWPOS_CENTERED;
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || width < 1 || height < 1) return 1;
    SDL_Window* window = SDL_CreateWindow("25:00", x, y, width, height, 0);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                                        SDL_TEXTUREACCESS_STREAMING, width, height)
                                    : nullptr;
    if (!texture) return 1;
    Mix_Chunk* sound = argc > 5 ? loop(argv[5]) : nullptr;
    if (argc > 5 && !sound) {
        std::fprintf(stderr, "countdown_window: cannot loop %s (%s)\n", argv[5], SDL_GetError());
        return 1;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("Liberation Sans Ultra-Light 96px");
    pango_layout_set_font_description(layout, font);

    int secondsLeft = 25 * 60, frames = 0;
    auto nextFrame = SteadyClock::now();
    for (bool running = true; running && secondsLeft >= 0;) {
        if (SteadyClock::now() >= nextFrame) {
            paint(cr, layout, width, height, secondsLeft--);
            cairo_surface_flush(surface);
            SDL_UpdateTexture(texture, nullptr, cairo_image_surface_get_data(surface),
                              cairo_image_surface_get_stride(surface));
            SDL_RenderCopy(renderer, texture, nullptr, nullptr);
            SDL_RenderPresent(renderer);
            std::printf("frame %d\n", ++frames);
            std::fflush(stdout);
            nextFrame += std::chrono::seconds(1);
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextFrame - SteadyClock::now());
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, int(std::max<long>(1, wait.count()))) && event.type == SDL_QUIT) {
            running = false;
        }
    }

    if (sound) {
        Mix_HaltChannel(-1);
        Mix_FreeChunk(sound);
        Mix_CloseAudio();
    }
    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
