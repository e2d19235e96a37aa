#pragma once

#include <functional>
#include <string>

namespace murinex {

class Run;

// Maps a file name as the start-up file writes it (backslashes allowed) to a
// path below the run's data folder.
std::string DataFileName(const std::string& name);

// Reads data/inimaus.ini: population file, world file and settings file names.
void ReadStartupFile(Run& run);

// The start of a run before its population exists: seed 1, the start-up file,
// the task name and check mouse 35. Nothing is written yet.
// The task name must be a plain file-name part (see ValidTaskName).
void StartUp(Run& run, const std::string& taskName);

// Reads the settings, the population and the world, then resets the run
// state, removes the task's dumps of an earlier run from the output folder
// (never a file it has read), creates the birth log and
// the protocol files and writes dump 0. Every input is read before any output
// is touched: when reading fails, neither the run nor a file changes.
// `beforeFirstDump`, when given, may change the settings and the mice just
// read, so that dump 0 already shows the changed values.
void SetUpPopulation(Run& run, const std::function<void(Run&)>& beforeFirstDump = {});

// The world file with its terrain lookup; set-up has read it already, so this
// reads it only for a run that has none.
void LoadWorld(Run& run);

// "Beenden": final dumps with the current number, then every protocol closed.
void FinishRun(Run& run);
// "MausListAus": a dump pair, then the dump number advances.
void DumpNow(Run& run);

}  // namespace murinex
