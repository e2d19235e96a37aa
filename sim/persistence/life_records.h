#pragma once

// The life of every mouse on record, as CSV tables beside the protocols, so
// births, deaths and traits can be joined by mouse ID:
//   Proto/Births-TASK.csv  one row per birth, both parents and the child's genes
//   Proto/Deaths-TASK.csv  one row per death, its cause and what the mouse had
//   Proto/Traits-TASK.csv  with every statistics row, mean and sd of each gene
// docs/outputs.md describes every column.

#include <string>
#include <vector>

namespace murinex {

class Run;
class TMaus;

// The 36 genes of a genome dump line, in its order ("Hunger.Weight", …, "Carefactor").
const std::vector<std::string>& GeneNames();

// Creates the three tables with their header rows.
void CreateLifeRecords(Run& run);
// The row of a birth: the child has its genes, the mother still knows the father.
void RecordBirth(Run& run, const TMaus& mother, const TMaus& child);
// The row of a death; m.DeathCause says why.
void RecordDeath(Run& run, const TMaus& m);
// The row of the traits, written with each statistics row.
void RecordTraits(Run& run);

}  // namespace murinex
