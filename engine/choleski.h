// Cholesky factorisation A = L L^T of small symmetric positive definite
// matrices, with inverse and solve. A matrix is an n x n row-major array of
// doubles (element (i, j) at i * n + j; a row-table array passes its first
// row's address). Nothing is allocated. Results: 0 success, -1 failure; the
// callers decide whether a failure is fatal.
#pragma once

// Factors A in place: afterwards the lower triangle with the diagonal holds L
// and the strict upper triangle holds L^T (A[i][j] = L[j][i] for j > i).
// Only the lower triangle of the input is read. Returns -1 as soon as a
// pivot is not greater than 0 (A is not positive definite, or holds NaN).
int Choleski_LU_Decomposition(double *A, int n);

// Overwrites a factor from Choleski_LU_Decomposition with the inverse of the
// factored matrix (the whole array, exactly symmetric). Returns -1 if the
// factor has a zero diagonal element.
int Choleski_LU_Inverse(double *LU, int n);

// Solves (L L^T) x = B with a factor from Choleski_LU_Decomposition, which is
// not modified. x has n elements. Returns -1 on a zero diagonal element.
int Choleski_LU_Solve(const double *LU, const double *B, double *x, int n);
