// Products and scaling of small dense matrices. Every matrix is a contiguous
// row-major array of doubles: element (i, j) of an r x c matrix is at
// i * c + j. Outputs are written completely and must not overlap the inputs.
// Nothing is allocated and nothing fails.
#pragma once

// At (c x r) = A^T, A being r x c.
void Transpose_Matrix(double *At, const double *A, int r, int c);

// P (r x q) = A B, A being r x c and B c x q.
void Multiply_Matrices(double *P, const double *A, int r, int c, const double *B, int q);

// P (r x q) = A B^T, A being r x c and B q x c.
void Multiply_Matrix_with_Transpose(double *P, const double *A, int r, int c, const double *B,
                                    int q);

// P (r x r) = A A^T, A being r x c. P is exactly symmetric.
void Multiply_Self_Transpose(double *P, const double *A, int r, int c);

// P (c x c) = A^T A, A being r x c. P is exactly symmetric.
void Self_Transpose_Multiply(double *P, const double *A, int r, int c);

// Multiplies every element of A (r x c) by 1.0 / x: one division, then
// products, so results can differ in the last bit from dividing each element.
void Divide_Matrix_by_Scalar(double *A, double x, int r, int c);
