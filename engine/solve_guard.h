// The checks a solve makes between its stages: has the caller cancelled,
// and does the factorisation about to start fit into memory.
#pragma once

#include "engine/solve_alpha.h"

// True once the settings' cancel flag reads true (false without a flag).
bool solveCancelled(const solve_settings *settings);

// Whether a factorisation that will allocate `factorisation_bytes` more fits:
// the process's resident memory now plus that, against settings->memory_limit
// (0: the resident memory plus the system's MemAvailable). Records both
// figures in `outcome`. When the system's available memory cannot be read
// and no limit is set, everything fits.
bool factorisationFits(const solve_settings *settings, double factorisation_bytes,
                       solve_outcome *outcome);

// Hands the heap's free pages back to the system. The Laplacian's rows are
// many small blocks; once they are released their pages would otherwise stay
// resident beside the factorisation's large ones, which the heap maps anew.
void returnFreedMemory(void);

// The process's resident memory and the system's MemAvailable, in bytes;
// 0 when they cannot be read.
double residentBytes(void);
double memAvailableBytes(void);
