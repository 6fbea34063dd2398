// The game's icon: a roulette wheel seen from above, drawn pixel by pixel.
#include "wheel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace icon {
namespace {

struct Colour {
    double r, g, b;
};

constexpr Colour kWood{0.45, 0.25, 0.10};
constexpr Colour kGold{0.95, 0.78, 0.25};
constexpr Colour kRed{0.80, 0.08, 0.08};
constexpr Colour kBlack{0.08, 0.08, 0.08};
constexpr Colour kGreen{0.0, 0.60, 0.15};
constexpr Colour kCone{0.55, 0.32, 0.12};
constexpr Colour kBall{0.97, 0.97, 0.97};

// The colour of the wheel at a point, given its distance from the centre (0 at the centre,
// 1 at the rim) and its angle. Sub-pixel samples are averaged by the caller.
Colour paint(double radius, double angle) {
    constexpr int kPockets = 37;
    if (radius > 1.0) return {-1, -1, -1};  // outside: transparent
    if (radius > 0.86) return kWood;
    if (radius > 0.82) return kGold;
    if (radius > 0.50) {
        const double turn = angle / (2 * std::numbers::pi);
        const double where = (turn - std::floor(turn)) * kPockets;
        const int pocket = static_cast<int>(where);
        // Thin gold frets between the pockets.
        if (where - pocket < 0.08) return kGold;
        if (pocket == 0) return kGreen;
        return pocket % 2 == 1 ? kRed : kBlack;
    }
    if (radius > 0.46) return kGold;
    // The cone with four spokes and a hub.
    if (radius < 0.12) return kGold;
    const double spoke = std::fmod(angle + 2 * std::numbers::pi, std::numbers::pi / 2);
    if (std::min(spoke, std::numbers::pi / 2 - spoke) * radius < 0.025) return kGold;
    return kCone;
}

}  // namespace

Image draw_wheel(int size) {
    Image image{size, std::vector<std::uint8_t>(static_cast<std::size_t>(size) * size * 4, 0)};
    constexpr int kSamples = 4;  // per axis, for smooth edges
    const double half = size / 2.0;
    // The ball sits in a red pocket, up and to the right.
    const double ball_x = 0.45;
    const double ball_y = -0.50;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0;
            double g = 0;
            double b = 0;
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = (x + (sx + 0.5) / kSamples - half) / half;
                    const double py = (y + (sy + 0.5) / kSamples - half) / half;
                    Colour c = paint(std::hypot(px, py), std::atan2(py, px));
                    if (c.r < 0) continue;
                    if (std::hypot(px - ball_x, py - ball_y) < 0.09) c = kBall;
                    // A soft light from the top left.
                    const double light = 1.0 - 0.25 * (px + py) / 2;
                    r += std::min(1.0, c.r * light);
                    g += std::min(1.0, c.g * light);
                    b += std::min(1.0, c.b * light);
                    ++covered;
                }
            }
            if (covered == 0) continue;
            auto* p = &image.rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            p[0] = static_cast<std::uint8_t>(std::lround(255 * r / covered));
            p[1] = static_cast<std::uint8_t>(std::lround(255 * g / covered));
            p[2] = static_cast<std::uint8_t>(std::lround(255 * b / covered));
            p[3] = static_cast<std::uint8_t>(255 * covered / (kSamples * kSamples));
        }
    }
    return image;
}

}  // namespace icon
