#pragma once

#include <filesystem>
#include <set>
#include <string>

typedef struct _PangoContext PangoContext;
typedef struct _PangoFontMap PangoFontMap;

namespace platform {

// The fonts the app can use: the system's fontconfig fonts plus the app's own (the bundle's "fonts"
// folder and the fonts generated at build time), registered with fontconfig before Pango first lays
// out text. One Pango context at 72 dpi (one point is one unit) with unhinted metrics lays out every
// text, so a size measured for layout is the size drawn at any scale. Main thread.
class FontRegistry {
public:
    static FontRegistry& shared();

    FontRegistry(const FontRegistry&) = delete;
    FontRegistry& operator=(const FontRegistry&) = delete;

    PangoContext* context() const { return context_; }
    bool hasFamily(const std::string& family) const { return families_.count(family) > 0; }

private:
    FontRegistry();
    void registerFolder(const std::filesystem::path& folder);
    void readFamilies();

    PangoFontMap* fontMap_ = nullptr;
    PangoContext* context_ = nullptr;
    std::set<std::string> families_;
};

}  // namespace platform
