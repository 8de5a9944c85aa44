// Lower triangular systems on small dense matrices. A matrix is an n x n
// row-major array of doubles (element (i, j) at i * n + j); only the lower
// triangle and the diagonal are read or written, the strict upper triangle is
// left alone. Nothing is allocated. Results: 0 success, -1 failure.
#pragma once

// Solves L x = B by forward substitution. x may be B. Returns -1 (x partly
// written) at the first zero diagonal element.
int Lower_Triangular_Solve(const double *L, const double *B, double *x, int n);

// Replaces L by its inverse (again lower triangular) in place. Returns -1 at
// the first zero diagonal element; L is then partly overwritten.
int Lower_Triangular_Inverse(double *L, int n);
