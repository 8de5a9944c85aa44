#include "engine/matrixutil.h"

// Sum over k of a[k * a_step] * b[k * b_step]: a row or a column of each
// operand, whichever the product needs.
static double dot(const double *a, int a_step, const double *b, int b_step, int count) {
  double sum = 0.0;
  for (int k = 0; k < count; ++k) sum += a[k * a_step] * b[k * b_step];
  return sum;
}

void Transpose_Matrix(double *At, const double *A, int r, int c) {
  for (int i = 0; i < r; ++i) {
    for (int j = 0; j < c; ++j) At[j * r + i] = A[i * c + j];
  }
}

void Multiply_Matrices(double *P, const double *A, int r, int c, const double *B, int q) {
  for (int i = 0; i < r; ++i) {
    for (int j = 0; j < q; ++j) P[i * q + j] = dot(A + i * c, 1, B + j, q, c);
  }
}

void Multiply_Matrix_with_Transpose(double *P, const double *A, int r, int c, const double *B,
                                    int q) {
  for (int i = 0; i < r; ++i) {
    for (int j = 0; j < q; ++j) P[i * q + j] = dot(A + i * c, 1, B + j * c, 1, c);
  }
}

void Multiply_Self_Transpose(double *P, const double *A, int r, int c) {
  for (int i = 0; i < r; ++i) {
    for (int j = i; j < r; ++j) {
      P[i * r + j] = dot(A + i * c, 1, A + j * c, 1, c);
      P[j * r + i] = P[i * r + j];
    }
  }
}

void Self_Transpose_Multiply(double *P, const double *A, int r, int c) {
  for (int i = 0; i < c; ++i) {
    for (int j = i; j < c; ++j) {
      P[i * c + j] = dot(A + i, c, A + j, c, r);
      P[j * c + i] = P[i * c + j];
    }
  }
}

void Divide_Matrix_by_Scalar(double *A, double x, int r, int c) {
  double reciprocal = 1.0 / x;
  for (int i = 0; i < r * c; ++i) A[i] *= reciprocal;
}
