#pragma once

// What a mouse contributes to the charts: its own lines (needs, emotions) and
// bands (need, action, goal), and its share of the population's summary lines.

namespace murinex {

class Run;
class TMaus;

// Creates the chart lines of a new mouse and registers its summary lines.
void BindLines(Run& run, TMaus& m);
// Appends one point to every line and band of the mouse and feeds the summary lines.
void UpdateLines(Run& run, TMaus& m);

}  // namespace murinex
