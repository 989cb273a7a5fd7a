#pragma once
// When the scheduler's timer fires next. A plain 1000 ms timer drifts
// against the wall clock (each period counts from when the last expiry was
// noticed), so now and then a wall-clock second gets no pass at all. Armed
// afresh each tick for shortly after the next second begins, every second
// gets exactly one pass while the thread is idle.

// Milliseconds after a second begins at which a tick is due: enough to
// absorb the timer's coarse resolution without reading the old second.
inline constexpr int kTickMargin = 20;

// Delay from a tick that came at millisecond ms of its second to shortly
// after the next second begins.
inline int nextTickDelay(int millisecond) { return 1000 - millisecond + kTickMargin; }

// Delay of the first tick after Start: about one second, landing shortly
// after a second begins (between half a second and one and a half).
inline int firstTickDelay(int millisecond) {
  const int delay = nextTickDelay(millisecond);
  return delay < 500 ? delay + 1000 : delay;
}
