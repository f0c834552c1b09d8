#include "platform/uikit/text/font_registry.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include "platform/foundation/ns_bundle.h"

// gcc says it builds with AddressSanitizer through a macro, clang through a feature test.
#if defined(__SANITIZE_ADDRESS__)
#define QUORVEL_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_ADDRESS_SANITIZER
#endif
#endif

#ifdef QUORVEL_ADDRESS_SANITIZER
// fontconfig links its caches by offsets rather than pointers, so the leak checker takes them for
// leaks; they are process-wide caches, not losses.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif

namespace platform {

FontRegistry& FontRegistry::shared() {
    static FontRegistry* registry = new FontRegistry();  // never destroyed: Pango's caches outlive main
    return *registry;
}

FontRegistry::FontRegistry() {
    FcInit();
    registerFolder(NSBundle::mainBundle()->resourcePath() / "fonts");
#ifdef QUORVEL_GENERATED_DIR
    registerFolder(std::filesystem::path(QUORVEL_GENERATED_DIR) / "fonts");
#endif
    fontMap_ = pango_cairo_font_map_new();
    pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(fontMap_), 72);
    context_ = pango_font_map_create_context(fontMap_);
    pango_cairo_context_set_resolution(context_, 72);
    // Unhinted, unrounded metrics: positions do not depend on the pixel grid of any one scale.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context_, FALSE);
    readFamilies();
}

void FontRegistry::registerFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const auto ext = entry.path().extension();
        if (ext == ".ttf" || ext == ".otf") {
            FcConfigAppFontAddFile(FcConfigGetCurrent(),
                                   reinterpret_cast<const FcChar8*>(entry.path().c_str()));
        }
    }
}

void FontRegistry::readFamilies() {
    families_.clear();
    PangoFontFamily** families = nullptr;
    int count = 0;
    pango_font_map_list_families(fontMap_, &families, &count);
    for (int i = 0; i < count; ++i) families_.insert(pango_font_family_get_name(families[i]));
    g_free(families);
}

}  // namespace platform
