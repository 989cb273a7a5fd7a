#pragma once
// When the scheduler's timer fires next. A plain 1000 ms timer drifts
// against the wall clock (each period counts from when the last expiry was
// noticed), so now and then a wall-clock second gets no pass at all. Armed
// afresh each tick for shortly after the next second begins, every second
// gets exactly one pass while the thread is idle.

// Milliseconds after a second begins at which a tick is due: enough to
// absorb the timer's coarse resolution without reading the old second.
inline constexpr int kTickMargin = 20;

// Delay from millisecond ms of a second to shortly after the next second
// begins. The first tick after Start is aimed the same way, so it always
// falls in the next wall-clock second, even when Start came late in its own.
inline int nextTickDelay(int millisecond) { return 1000 - millisecond + kTickMargin; }
