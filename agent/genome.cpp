#include "agent/genome.h"

#include "agent/maus.h"
#include "model/run.h"
#include "world/random.h"

namespace murinex {

double MutateGene(Random& random, double value, double probability, double scale, double minimum,
                  double maximum) {
  const double r = random.Uniform();
  if (r >= probability) return value;
  double width = maximum - minimum;
  if (width < 0) width = 0;
  value = value + (random.Uniform() - 0.5) * scale * width;
  if (value > maximum) value = maximum;
  if (value < minimum) value = minimum;
  return value;
}

namespace {

// One gene of the child: the mother's or the father's, at even odds.
double Pick(Run& run, double fromMother, double fromFather) {
  return run.random.Uniform() < 0.5 ? fromMother : fromFather;
}

}  // namespace

std::unique_ptr<TGenom> MakeEmbryo(Run& run, const TMaus& mother, const TMaus& father,
                                   double mutationRate) {
  auto e = std::make_unique<TGenom>();
  const Settings& s = run.settings;
  for (int i = 0; i < param::Count; ++i) {
    const double v = Pick(run, mother.Params[i], father.Params[i]);
    const RangeRow& r = s.PersonRanges[i];
    e->PersonGenes[i] = MutateGene(run.random, v, mutationRate, r.scale, r.minimum, r.maximum);
  }
  for (int i = 0; i < need::Count; ++i) {
    const double v = Pick(run, mother.Motives[i].Weight, father.Motives[i].Weight);
    const RangeRow& r = s.MotWeightRanges[i];
    e->MotWeights[i] = MutateGene(run.random, v, mutationRate, 1, r.minimum, r.maximum);
  }
  for (int i = need::Hunger; i <= need::Pain; ++i) {
    const double v = Pick(run, mother.Motives[i].MaxReserve, father.Motives[i].MaxReserve);
    const RangeRow& r = s.ReserveRanges[i - 1];
    e->ReserveGenes[i] =
        RoundHalfEven(MutateGene(run.random, v, mutationRate, 1, r.minimum, r.maximum));
  }
  for (int i = 1; i < need::Count; ++i) {
    const double v = Pick(run, mother.Motives[i].BasMeta, father.Motives[i].BasMeta);
    const RangeRow& r = s.BasalMetaBolRanges[i];
    e->BasMetaGenes[i] = MutateGene(run.random, v, mutationRate, 1, r.minimum, r.maximum);
  }
  return e;
}

void InheritGenome(TMaus& child, const TMaus& mother) {
  // A pregnant mouse always carries its embryo; the own genome only guards a broken record.
  const TGenom& e = mother.Embryo ? *mother.Embryo : *mother.Genom;
  for (int i = 0; i < param::Count; ++i)
    child.Params[i] = e.PersonGenes[i];
  for (int i = 0; i < need::Count; ++i) {
    TMotiv& motive = child.Motives[i];
    motive.Weight = e.MotWeights[i];
    motive.Ist = 1.0;
    motive.Soll = 1.0;
    motive.BasMeta = e.BasMetaGenes[i];
    motive.Leak = mother.Motives[i].Leak;
  }
  for (int i = need::Hunger; i <= need::Pain; ++i) {
    child.Motives[i].MaxReserve = e.ReserveGenes[i];
    child.Motives[i].Reserve = e.ReserveGenes[i];
  }
  child.Generation = mother.Generation + 1;
  child.Lineage = mother.Lineage;
}

}  // namespace murinex
