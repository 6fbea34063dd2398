// The game's draws with some fixed in advance: queued values come out first, in order,
// and then the game's own generator takes over again. A reseed neither consumes nor
// clears the queue, so a test can fix a spin before the click that reseeds.
#pragma once

#include <deque>

#include "core/draws.h"
#include "core/random_source.h"

namespace casino::testing {

class QueuedDraws final : public Draws {
   public:
    // Queues r, kept inside [0, 1) whatever the caller passes (NaN reads 0).
    void queue(float r) {
        constexpr float below_one = 0x1.fffffep-1F;
        if (!(r >= 0.0F)) r = 0.0F;
        if (r > below_one) r = below_one;
        queued_.push_back(r);
    }
    [[nodiscard]] bool empty() const { return queued_.empty(); }

    void reseed(float seed) override { generator_.reseed(seed); }
    float next() override {
        if (queued_.empty()) return generator_.next();
        const float r = queued_.front();
        queued_.pop_front();
        return r;
    }

   private:
    RandomSource generator_;
    std::deque<float> queued_;
};

}  // namespace casino::testing
