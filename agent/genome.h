#pragma once

// The genome: how a child's genes are mixed from its parents' values at
// conception, mutated within the ranges of the settings, and handed to the
// child at birth.

#include <memory>

namespace murinex {

class Random;
class Run;
class TMaus;
struct TGenom;

// The value, mutated with probability p by up to half the range times scale.
double MutateGene(Random& random, double value, double probability, double scale, double minimum,
                  double maximum);

// The child's genome mixed from both parents, gene by gene, with mutation.
std::unique_ptr<TGenom> MakeEmbryo(Run& run, const TMaus& mother, const TMaus& father,
                                   double mutationRate);

// Person parameters, motive weights, metabolism and reserves of a newborn from
// the embryo its mother carries; generation and lineage follow the mother.
void InheritGenome(TMaus& child, const TMaus& mother);

}  // namespace murinex
