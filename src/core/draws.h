// Where the game's random draws come from: uniform single-precision values in [0, 1),
// reseeded from the time of day before every spin.
#pragma once

namespace casino {

class Draws {
   public:
    virtual ~Draws() = default;

    // Starts the sequence afresh from a seed; the game passes the time of day.
    virtual void reseed(float seed) = 0;
    // The next value r, 0 <= r < 1; never 1.
    virtual float next() = 0;
};

}  // namespace casino
