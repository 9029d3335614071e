#pragma once
#include <cmath>
#include <cstddef>
namespace TCellOps {
inline void DifferenceCells(const double* const* I, std::size_t, std::size_t N, bool (*Nd)(double), double Out, double* O)
{ for (std::size_t c = 0; c < N; ++c) O[c] = Nd(I[0][c]) || Nd(I[1][c]) ? Out : I[0][c] - I[1][c]; }
inline void SumCells(const double* const* I, std::size_t K, std::size_t N, bool (*Nd)(double), double Out, double* O)
{ for (std::size_t c = 0; c < N; ++c) { double s = 0; bool b = false; for (std::size_t k = 0; k < K; ++k) { b |= Nd(I[k][c]); s += I[k][c]; } O[c] = b ? Out : s; } }
inline void MeanCells(const double* const* I, std::size_t K, std::size_t N, bool (*Nd)(double), double Out, double* O)
{ for (std::size_t c = 0; c < N; ++c) { double s = 0; bool b = false; for (std::size_t k = 0; k < K; ++k) { b |= Nd(I[k][c]); s += I[k][c]; } O[c] = b ? Out : s / double(K); } }
inline void DataCountCells(const double* const* I, std::size_t K, std::size_t N, bool (*Nd)(double), double, double* O)
{ for (std::size_t c = 0; c < N; ++c) { double s = 0; for (std::size_t k = 0; k < K; ++k) s += !Nd(I[k][c]); O[c] = s; } }
inline void MaskCells(const double* const* I, std::size_t, std::size_t N, bool (*Nd)(double), double Out, double* O)
{ for (std::size_t c = 0; c < N; ++c) O[c] = Nd(I[0][c]) || Nd(I[1][c]) ? Out : I[0][c]; }
inline void SlopeCells(const double* const* I, std::size_t K, std::size_t N, bool (*Nd)(double), double Out, double* O)
{ for (std::size_t c = 0; c < N; ++c) { double n=0,sx=0,sy=0,sxx=0,sxy=0; for (std::size_t k = 0; k < K; ++k) { if (Nd(I[k][c])) continue; double x=double(k), y=I[k][c]; n+=1; sx+=x; sy+=y; sxx+=x*x; sxy+=x*y; } O[c] = n < 2 ? Out : (n*sxy - sx*sy)/(n*sxx - sx*sx); } }
}
