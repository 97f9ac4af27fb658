#pragma once
// For the start-up benchmark: when the environment variable
// SPECTRION_REPORT_FIRST_PAINT is set, writes one line
//   first-paint-epoch-us N
// to standard error once the window's first paint has reached the display
// server, N being the wall-clock time (CLOCK_REALTIME) in microseconds.
// Without the variable it does nothing. UI thread only.

class QWidget;

namespace app {

// Watches `window` (which must outlive the event loop) for its first paint.
void reportFirstPaintIfAsked(QWidget& window);

} // namespace app
