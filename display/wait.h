#pragma once

namespace vorn {

// Returns after ms milliseconds while the window keeps handling its events: a
// local event loop quit by a precise single-shot timer.
void WaitResponsive(int ms);

}  // namespace vorn
