#pragma once

// The table of every living mouse, taken at the start of a run and then every
// Run::ObserveEvery ticks: Proto/Mice-TASK.csv.gz, a header row, then one row
// per living mouse and observation (`tick`, `id`, then the columns named by
// ObservableNames()). Each observation is one complete gzip member appended to
// Proto/Mice-TASK.csv.gz.part, so the bytes depend only on what was observed,
// never on when checkpoints were taken: a checkpoint keeps the part's length
// like a protocol's, a resume cuts it back, and the finished run renames it.
// docs/outputs.md describes the columns.

#include <string>
#include <vector>

namespace murinex {

class Run;

// Every column a row can have after `tick` and `id`, in the table's order:
// the names of agent/mouse_values.h (texts that are the same for every mouse
// left out), then `places`, `friends`, `enemies` and `partner`.
const std::vector<std::string>& ObservableNames();

// The names of `wanted` that are no column; empty when all are.
std::vector<std::string> UnknownObservableNames(const std::vector<std::string>& wanted);

// At the set-up of a run: removes the task's earlier table; with ObserveEvery
// above 0 starts the new one with the header and the rows of the start.
void CreateMouseTable(Run& run);
// The rows of this tick when it is one of the observed ticks.
void ObserveMiceIfDue(Run& run);
// Writes the observation still being compressed: before a checkpoint and
// before the files are closed.
void SettleMouseTable(Run& run);
// At the end of a run, the files closed: the complete table takes its final name.
void FinishMouseTable(Run& run);

}  // namespace murinex
