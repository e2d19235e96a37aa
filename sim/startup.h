#pragma once

#include <string>

namespace murinex {

class Run;

// Maps a file name as the start-up file writes it (backslashes allowed) to a
// path below the run's data folder.
std::string DataFileName(const std::string& name);

// Reads data/inimaus.ini: population file, world file and settings file names.
void ReadStartupFile(Run& run);

// The start of a run before its population exists: seed 1, the start-up file,
// the task name, check mouse 35, the Proto folder and the birth log.
// The task name must be a plain file-name part (see ValidTaskName).
void StartUp(Run& run, const std::string& taskName);

// Reads the settings and the population, resets the run state, creates the
// protocol files and writes dump 0. Nothing of the run changes when it fails
// while reading.
void SetUpPopulation(Run& run);

// Reads the world file and builds the terrain lookup.
void LoadWorld(Run& run);

// "Beenden": final dumps with the current number, then every protocol closed.
void FinishRun(Run& run);
// "MausListAus": a dump pair, then the dump number advances.
void DumpNow(Run& run);

}  // namespace murinex
