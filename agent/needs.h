#pragma once

#include <cstdint>
#include <string>

#include "agent/names.h"

namespace murinex {

class Run;
class TMaus;
struct TMotiv;
struct TTerra;

double Clamp(double v, double low, double high);

// One tick's drain of a need by its basal metabolism; returns the unclamped change.
double Metabolise(TMotiv& motive, double dt);

// The per-tick regulation: needs drain, total need strength, competence and
// the emotions follow.
void Regulate(Run& run, TMaus& m);

// What reaching goal g with amount x is worth to the mouse's needs now.
double SatisfactionGain(const Run& run, const TMaus& m, goal::Goal g, double x);

// Reaching or consuming goal g: the needs it serves grow, the goal memory
// learns, and a patch of that kind gives up what is taken.
void Satisfy(Run& run, TMaus& m, goal::Goal g, TTerra* patch, const std::string& label,
             double amount);
// A direct loss of need n (callers pass a negative amount).
void Dissatisfy(Run& run, TMaus& m, need::Need n, const std::string& label, double amount);

void RestoreStrength(TMaus& m);
void ClearTargets(TMaus& m);

// Whether competence changes of this mouse go to the competence protocol.
bool CompLogWanted(const Run& run, std::int32_t id);
void CompLog(Run& run, std::int32_t id, const std::string& label, double prev, double now,
             double change);

}  // namespace murinex
