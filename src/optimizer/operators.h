#pragma once

// The (10 + 70) evolution of one sub-population: every step makes 10 mutants
// and 60 recombinants from the 10 parents, and the best 10 of all 80 become
// the next parents. Every random draw comes from the run's RandomSource, which
// the mutation and the recombination reseed from the clock.

#include "optimizer/generation.h"
#include "optimizer/objective.h"
#include "optimizer/random_source.h"
#include "optimizer/shell_sort.h"

namespace velm {

// Penalties for genes outside [0, 1]; a penalised individual is not
// evaluated. The objective is only computed while f is below the limit.
inline constexpr double kParentBoundsPenalty = 100000.0;
inline constexpr double kParentEvaluationLimit = 10000.0;
inline constexpr double kChildBelowZeroPenalty = 1000.0;
inline constexpr double kChildAboveOnePenalty = 10000.0;
inline constexpr double kChildEvaluationLimit = 1000.0;
inline constexpr double kRecombinationWeight = 0.5;

// A child's penalty for genes 1 to geneBound - 1 outside [0, 1], a NaN gene
// counting as above 1: not the worst offence but the last out-of-range gene
// sets it; 0 when none is.
double ChildBoundsPenalty(const Genes& x, int geneBound);

// f of parents 0..9, in one batch.
void EvaluateParents(Generation& generation, Objective& objective);
// f of children 0..69 through RankTable entries 10..79, in one batch. The
// parents keep the f they have: nobody is evaluated twice.
void EvaluateChildren(Generation& generation, Objective& objective);
// Children 0..9: self-adaptive Gaussian mutants of parents 0..9.
void Mutate(Generation& generation, RandomSource& random);
// RankTable := parents and mutants, then children 10..69 as intermediate
// recombinants of a random parent and random genes of random partners.
void Recombine(Generation& generation, RandomSource& random);
// Sorts RankTable by f, a NaN f as `nanKeys` says, and copies the best 10
// into the parents.
void SelectBest(Generation& generation, NaNKeys nanKeys);

// A sub-population's first generation: random parents, evaluated.
void InitialiseSubPopulation(SubPopulation& subPopulation,
                             RandomSource& random, Objective& objective,
                             int variableCount);
// One generation step; the sub-population then holds a new generation whose
// parents are the best 10 found so far, sorted.
void StepSubPopulation(SubPopulation& subPopulation, RandomSource& random,
                       Objective& objective, int variableCount,
                       NaNKeys nanKeys);

}  // namespace velm
