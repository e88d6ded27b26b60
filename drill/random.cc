#include "drill/random.h"

namespace drill {

std::int32_t RandomSource::next_value() {
  state_ = state_ * 1103515245u + 12345u;
  return static_cast<std::int32_t>((state_ >> 16) & 0x7FFF);
}

void RandomSource::seed_from_clock(console::Clock& clock) {
  if (std::optional<console::CalendarTime> time = clock.now()) {
    set_seed(static_cast<std::uint32_t>(*time));
  }
}

}  // namespace drill
