// One closed-form matting solve.
//
// The matte solves (L + Lambda) alpha = Lambda v: L the matting Laplacian,
// Lambda the constraint weights of the pinned pixels, v their values. Which
// sparse solver does it is a setting; callers see the same matte and the same
// statuses either way.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/tiff.h"

// How the system is solved.
enum solver_choice {
  // Pixels in no built window (deep inside painted areas) are solved
  // directly; the coupled rest by a sparse Cholesky factorisation. A system
  // Cholesky cannot factor (not positive definite, e.g. singular) is handed
  // to the LU path, whose status is then reported.
  SOLVER_CHOLESKY = 0,
  // The whole system by UMFPACK's LU factorisation with its default control.
  SOLVER_LU = 1,
};

// Statuses a solve reports besides UMFPACK's own (0 ok; 1..3 warnings such
// as 1, a singular matrix, which still give a matte; negative: failures).
enum {
  // Stopped through the cancel flag.
  C2F_STATUS_CANCELLED = -1000,
  // Refused before the factorisation: it would need more memory than the
  // limit allows (solve_outcome says how much).
  SOLVE_STATUS_OVER_MEMORY = -1001,
};

struct solve_settings {
  solver_choice solver = SOLVER_CHOLESKY;
  // The most memory the process may hold while it factors, in bytes; 0
  // means what it holds now plus what the system has available
  // (MemAvailable in /proc/meminfo).
  uint64_t memory_limit = 0;
  // Optional: once it reads true the solve stops at its next stage
  // (Laplacian, assembly, analysis, factorisation, solve).
  const std::atomic<bool> *cancel = nullptr;
};

struct solve_outcome {
  int status = 0;  // see above
  // The memory check before the factorisation, in bytes: what the process
  // would hold at the factorisation's peak and what it may hold. Both 0 when
  // no factorisation was analysed.
  double needed_bytes = 0;
  double available_bytes = 0;
};

// Solves for the matte of `image` (h x w) with the pixels whose mask is 1.0
// pinned to their values (mask and values: h x w doubles [row][column], not
// changed). Returns a new h x w array [row][column] clamped to 0..1 (free
// with free_img). A negative status (a failure, a refusal, a cancel) comes
// with an all-zero matte, never a partial one. epsilon and r are the
// Laplacian's (floors 1e-7 and 1 apply).
double **solveAlphaWith(const TIFF_img *image, const double *const *constraint_mask,
                        const double *const *constraint_values, double epsilon, int r,
                        const solve_settings *settings, solve_outcome *outcome);

// The same with the default settings; *status receives the outcome's status.
double **solveAlpha(const TIFF_img *image, const double *const *constraint_mask,
                    const double *const *constraint_values, double epsilon, int r, int *status);
