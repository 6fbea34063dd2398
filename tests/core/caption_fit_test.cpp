// The buttons' font size, against a toolkit whose text widths are known: how far it shrinks,
// and how many sizes it measures on the way.
#include "core/caption_fit.h"

#include <gtest/gtest.h>

#include <vector>

namespace casino {
namespace {

// A button 50 units wide whose caption is `per_size` units wide per unit of font size, and
// `snap` units wider at every size, as glyphs snapped to whole pixels make it. Notes every
// size it is asked about.
struct Toolkit {
    explicit Toolkit(double per_size, double snap = 0) : per_size(per_size), snap(snap) {}

    double per_size;
    double snap;
    std::vector<double> measured;

    CaptionRoom room() {
        return [this](double size) {
            measured.push_back(size);
            return 50 / (per_size * size + snap);
        };
    }
};

constexpr FontSizes kPoints{10, 6, 0.5};

TEST(CaptionSize, TheDesktopFontStaysWhenEveryCaptionFits) {
    Toolkit fits{5};
    EXPECT_EQ(caption_size(kPoints, fits.room()), 10);
    EXPECT_EQ(fits.measured, (std::vector<double>{10}));
}

TEST(CaptionSize, TheLargestStepAtWhichTheCaptionsFit) {
    // 6 a point: fits up to 8.33 points. The search starts at 7.5, 5% under that.
    Toolkit gtk{6};
    EXPECT_EQ(caption_size(kPoints, gtk.room()), 8);
    EXPECT_EQ(gtk.measured, (std::vector<double>{10, 7.5, 8, 8.5}));
    // In whole pixels: 13 pixels measure 65, so 10 pixels fit and 11 do not.
    Toolkit pixels{5};
    EXPECT_EQ(caption_size({13, 8, 1}, pixels.room()), 10);
    EXPECT_EQ(pixels.measured, (std::vector<double>{13, 9, 10, 11}));
}

TEST(CaptionSize, StepsDownWhenSmallTextComesOutWiderThanInProportion) {
    // 10 points measure 61 (fit by proportion: 8.2 points, the search starts at 7.5), but
    // 7.5 points measure 51 and 7 points 49.
    Toolkit snapping{4, 21};
    EXPECT_EQ(caption_size(kPoints, snapping.room()), 7);
    EXPECT_EQ(snapping.measured, (std::vector<double>{10, 7.5, 7}));
}

TEST(CaptionSize, NeverBelowTheSmallestSizeNorAboveTheDesktops) {
    Toolkit too_wide{20};
    EXPECT_EQ(caption_size(kPoints, too_wide.room()), 6);
    EXPECT_EQ(caption_size({5, 6, 0.5}, too_wide.room()), 5);
}

}  // namespace
}  // namespace casino
