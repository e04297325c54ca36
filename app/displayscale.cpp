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
