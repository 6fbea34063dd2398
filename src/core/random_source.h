// The game's random source: a small 64-bit generator, reseeded from the time of day.
#pragma once

#include <cstdint>

#include "core/draws.h"

namespace casino {

class RandomSource final : public Draws {
   public:
    RandomSource();

    void reseed(float seed) override;
    float next() override;

   private:
    std::uint64_t state_;
};

}  // namespace casino
