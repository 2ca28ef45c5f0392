#include "StarField.h"

#include "Rng.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace media {

namespace {

std::array<float, 3> unit_luminance(float r, float g, float b) {
    const float luminance = 0.2126f * r + 0.7152f * g + 0.0722f * b;
    return {r / luminance, g / luminance, b / luminance};
}

std::array<float, 3> pick_tint(Rng& rng) {
    // Roughly the mix of stellar colours the eye sees: mostly white, some blue, some warm.
    static const std::array<std::array<float, 3>, 6> tints = {{
        unit_luminance(0.70f, 0.80f, 1.00f),
        unit_luminance(0.88f, 0.92f, 1.00f),
        unit_luminance(1.00f, 1.00f, 1.00f),
        unit_luminance(1.00f, 0.95f, 0.84f),
        unit_luminance(1.00f, 0.83f, 0.62f),
        unit_luminance(1.00f, 0.70f, 0.50f),
    }};
    static const std::array<double, 6> weights = {0.10, 0.22, 0.28, 0.22, 0.13, 0.05};
    double u = rng.uniform();
    for (size_t i = 0; i < tints.size(); ++i) {
        if (u < weights[i]) {
            return tints[i];
        }
        u -= weights[i];
    }
    return tints.back();
}

// Share of a Gaussian of deviation `sigma` centred at `centre` that falls in [edge, edge + 1).
float pixel_share(float edge, float centre, float sigma) {
    const float scale = 1.0f / (std::numbers::sqrt2_v<float> * sigma);
    return 0.5f * (std::erf((edge + 1.0f - centre) * scale) - std::erf((edge - centre) * scale));
}

// Whether a square of the given reach around (cx, cy) misses the image: a band of a picture
// drawn in bands skips the stars of the others quickly.
bool misses(const Image& image, int cx, int cy, int reach) {
    return cx + reach < 0 || cy + reach < 0 || cx - reach >= image.width() ||
           cy - reach >= image.height();
}

void draw_gaussian(Image& image, float x, float y, float flux, float sigma,
                   const std::array<float, 3>& tint) {
    // Light beyond three deviations is too little to see; the widest glow, a bright star's at
    // twice the scale, reaches some 36 pixels.
    constexpr int most_reach = 63;
    const int reach = std::min(static_cast<int>(std::ceil(3.0f * sigma + 1.0f)), most_reach);
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    if (misses(image, cx, cy, reach)) {
        return;
    }
    std::array<float, 2 * most_reach + 1> shares_x;
    for (int i = -reach; i <= reach; ++i) {
        shares_x[static_cast<size_t>(i + reach)] =
            pixel_share(static_cast<float>(cx + i), x, sigma);
    }
    for (int j = -reach; j <= reach; ++j) {
        const float share_y = pixel_share(static_cast<float>(cy + j), y, sigma) * flux;
        for (int i = -reach; i <= reach; ++i) {
            const float v = shares_x[static_cast<size_t>(i + reach)] * share_y;
            image.add_light(cx + i, cy + j, v * tint[0], v * tint[1], v * tint[2]);
        }
    }
}

// Spikes one device pixel thick: at twice the scale they are half as wide and twice as bright
// per pixel, the same light per logical pixel of their length.
void draw_spikes(Image& image, float x, float y, float flux, const std::array<float, 3>& tint,
                 PixelScale scale) {
    const float length = 2.0f + 1.5f * flux;
    const int reach = scale.pixels(static_cast<int>(length * 2.5f));
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    if (misses(image, cx, cy, reach + 1)) {
        return;
    }
    const float fx = x - static_cast<float>(cx) - 0.5f;
    const float fy = y - static_cast<float>(cy) - 0.5f;
    const auto factor = static_cast<float>(scale.factor());
    for (int d = scale.pixels(2); d <= reach; ++d) {
        const float v =
            0.025f * flux * std::exp(-(static_cast<float>(d) / factor) / length) * factor;
        for (int side : {-1, 1}) {
            // Split each spike pixel between the two rows or columns it straddles.
            const int across_y = fy < 0 ? -1 : 1;
            const int across_x = fx < 0 ? -1 : 1;
            const float ay = std::abs(fy);
            const float ax = std::abs(fx);
            image.add_light(cx + side * d, cy, v * (1 - ay) * tint[0], v * (1 - ay) * tint[1],
                            v * (1 - ay) * tint[2]);
            image.add_light(cx + side * d, cy + across_y, v * ay * tint[0], v * ay * tint[1],
                            v * ay * tint[2]);
            image.add_light(cx, cy + side * d, v * (1 - ax) * tint[0], v * (1 - ax) * tint[1],
                            v * (1 - ax) * tint[2]);
            image.add_light(cx + across_x, cy + side * d, v * ax * tint[0], v * ax * tint[1],
                            v * ax * tint[2]);
        }
    }
}

} // namespace

StarField::StarField(std::uint64_t seed, float width, float height, int tries, float faintest,
                     const std::function<float(float, float)>& acceptance) {
    Rng rng(seed);
    for (int i = 0; i < tries; ++i) {
        const float x = static_cast<float>(rng.uniform() * width);
        const float y = static_cast<float>(rng.uniform() * height);
        // Counts of stars brighter than a flux fall about as its inverse (a power law).
        const float flux = faintest * static_cast<float>(std::pow(1.0 - rng.uniform(), -0.85));
        const auto tint = pick_tint(rng);
        const auto depth = static_cast<float>(rng.uniform());
        const auto phase = static_cast<float>(rng.uniform());
        if (rng.uniform() < acceptance(x, y)) {
            m_stars.push_back({x, y, std::min(flux, 4.0f), tint, depth, phase});
        }
    }
}

void StarField::render(Image& image, PixelScale scale, float offset_x, float offset_y,
                       const std::function<float(const Star&)>& gain) const {
    for (const Star& star : m_stars) {
        const float flux = star.flux * gain(star);
        if (flux > 0.0f) {
            draw_star(image, scale.to_device(star.x) + offset_x, scale.to_device(star.y) + offset_y,
                      flux, star.tint, scale);
        }
    }
}

void StarField::draw_star(Image& image, float x, float y, float flux,
                          const std::array<float, 3>& tint, PixelScale scale) {
    // Each logical pixel is factor x factor device pixels, which together carry its light.
    const auto factor = static_cast<float>(scale.factor());
    const float area = factor * factor;
    const float sigma = (0.5f + 0.2f * std::log2(1.0f + 6.0f * flux)) * factor;
    draw_gaussian(image, x, y, flux * area, sigma, tint);
    if (flux > 0.25f) {
        draw_gaussian(image, x, y, 0.05f * flux * area, 4.0f * sigma, tint);
    }
    if (flux > 1.0f) {
        draw_spikes(image, x, y, flux, tint, scale);
    }
}

} // namespace media
