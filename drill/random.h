// The drill's random source: a 15-bit linear congruential generator with
// its own 32-bit state, so a seed always gives the same problems on every
// platform. The drill driver seeds it once and the Problem draws from it.
#ifndef DRILL_RANDOM_H_
#define DRILL_RANDOM_H_

#include <cstdint>

#include "console/clock.h"

namespace drill {

class RandomSource {
 public:
  // Advances the state and returns its bits 16 to 30: a value in 0..32767.
  std::int32_t next_value();

  // Sets the state to `seed` as it is.
  void set_seed(std::uint32_t seed) { state_ = seed; }

  // Sets the state to the clock's current time, reduced to its low 32 bits.
  // A clock that cannot be read leaves the state as it was.
  void seed_from_clock(console::Clock& clock);

 private:
  std::uint32_t state_ = 1;
};

}  // namespace drill

#endif  // DRILL_RANDOM_H_
