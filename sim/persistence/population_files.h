#pragma once

#include <cstdint>
#include <string>

namespace murinex {

class Run;
class TMaus;
class TextReader;

// Fills a freshly created mouse from the next record of a population file.
// Relations are linked by the caller once all mice are read.
// Places recalled after `startTick` are refused; without it the run's tick counts.
void ReadMaus(Run& run, TMaus& m, TextReader& in);
void ReadMaus(Run& run, TMaus& m, TextReader& in, std::int32_t startTick);

// One mouse record as the population dump writes it (also a population file
// record). Writing fades every remembered place, as a recall would.
std::string DumpMaus(Run& run, TMaus& m);

// The whole population and the genome lines, written to
// data/Maeuse-<task>-<number>.dat and data/Genom-<task>-<number>.dat.
void DumpPopulation(Run& run);
void DumpGenomes(Run& run);

// The first line of both dumps: the file name, " vom " and the local date and time.
std::string DumpTitle(const std::string& fileName);
std::string PopulationDumpName(const Run& run);
std::string GenomeDumpName(const Run& run);

}  // namespace murinex
