// The game's random source: uniform single-precision values in [0, 1), reseeded from the
// time of day.
#pragma once

#include <cstdint>
#include <deque>

namespace casino {

class RandomSource {
   public:
    RandomSource();

    // Starts the sequence afresh from a seed; the game passes the time of day.
    void reseed(float seed);

    // The next value r, 0 <= r < 1; never 1.
    float next();

    // Values to hand out, in order, before the generator is used again. Tests use this
    // to fix a spin; a reseed neither consumes nor clears the queue.
    void queue(float r);
    void clear_queue() { scripted_.clear(); }
    [[nodiscard]] bool has_queued() const { return !scripted_.empty(); }

   private:
    std::uint64_t state_;
    std::deque<float> scripted_;
};

}  // namespace casino
