#include "app/displayscale.h"

std::optional<int> ParseScale(std::string_view text) {
    if (text == "1" || text == "2" || text == "3") return text[0] - '0';
    return std::nullopt;
}

int ScaleForDisplay(float dpi, ui::SIZE screen, ui::SIZE window) {
    int scale = dpi >= 288 ? 3 : dpi >= 192 ? 2 : 1;
    while (scale > 1 && (window.cx * scale > screen.cx || window.cy * scale > screen.cy))
        --scale;
    return scale;
}

int ChooseScale(std::optional<int> option, const char* environment, float dpi, ui::SIZE screen,
                ui::SIZE window) {
    if (option) return *option;
    if (environment != nullptr) {
        if (std::optional<int> fromEnvironment = ParseScale(environment)) return *fromEnvironment;
    }
    return ScaleForDisplay(dpi, screen, window);
}

std::string ScaleMisfit(int scale, ui::SIZE screen, ui::SIZE window) {
    auto fits = [&](int s) { return window.cx * s <= screen.cx && window.cy * s <= screen.cy; };
    if (fits(scale)) return {};
    auto size = [](int w, int h) { return std::to_string(w) + "x" + std::to_string(h); };
    std::string why = "at scale " + std::to_string(scale) + " the window (" +
                      size(window.cx * scale, window.cy * scale) + ") is larger than the screen (" +
                      size(screen.cx, screen.cy) +
                      "); its top edge and close button stay on the screen";
    int smaller = scale - 1;
    while (smaller > 1 && !fits(smaller))
        --smaller;
    if (smaller >= 1 && fits(smaller)) why += "; --scale " + std::to_string(smaller) + " fits";
    return why;
}
