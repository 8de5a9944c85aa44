// Upper triangular systems on small dense matrices: an n x n row-major array
// of doubles (element (i, j) at i * n + j) of which only the upper triangle
// and the diagonal are read. Nothing is allocated. Results: 0 success, -1
// failure.
#pragma once

// Solves U x = B by back substitution. x may be B (solving in place).
// Returns -1 (x partly written) at the first zero diagonal element met,
// counting from the last row.
int Upper_Triangular_Solve(const double *U, const double *B, double *x, int n);
