#include "platform/native/DesktopScale.h"

#include <charconv>
#include <iostream>
#include <set>

namespace platform {

namespace {

std::optional<double> number(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<Scale> in_range(double factor) {
    if (!(factor >= 1 && factor <= DesktopScale::kMaxFactor))
        return std::nullopt;
    return Scale::from_factor(factor);
}

void say_once(const char* name, const char* value) {
    static std::set<std::string> said;
    if (said.insert(std::string(name) + "=" + value).second)
        std::cerr << "quorvane: " << name << "=" << value << " is not a scale from 1 to "
                  << DesktopScale::kMaxFactor << "; it is passed over" << std::endl;
}

} // namespace

std::optional<double> DesktopScale::xft_dpi(std::string_view resources) {
    constexpr std::string_view kName = "Xft.dpi:";
    std::optional<double> dpi;
    // One resource a line; a later line overrides an earlier one, as the database does.
    while (!resources.empty()) {
        size_t end = resources.find('\n');
        std::string_view line = resources.substr(0, end);
        resources.remove_prefix(end == std::string_view::npos ? resources.size() : end + 1);
        if (line.starts_with(kName))
            dpi = number(line.substr(kName.size()));
    }
    return dpi;
}

Scale DesktopScale::choose(const std::function<const char*(const char*)>& environment,
                           std::string_view resources) {
    for (const char* name : {"QUORVANE_SCALE", "GDK_SCALE"}) {
        const char* value = environment(name);
        if (!value || !*value)
            continue;
        std::optional<double> factor = number(value);
        // GTK takes only whole factors from GDK_SCALE.
        bool whole = std::string_view(name) != "GDK_SCALE" || (factor && *factor == int(*factor));
        if (std::optional<Scale> scale = factor && whole ? in_range(*factor) : std::nullopt)
            return *scale;
        say_once(name, value);
    }
    if (std::optional<double> dpi = xft_dpi(resources); dpi && *dpi > 96)
        return in_range(*dpi / 96).value_or(Scale::from_factor(kMaxFactor));
    return Scale{};
}

} // namespace platform
