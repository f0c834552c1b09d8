#pragma once

namespace platform {

// The media clock that animations run on, in seconds. It reads platform::Clock, so a virtual clock in a
// test moves it; its zero is the clock's reference date, not boot time.
double CACurrentMediaTime();

}  // namespace platform
