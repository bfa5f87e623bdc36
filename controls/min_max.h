#pragma once
// The smaller and the larger of two integers, as the splitter's bar
// arithmetic names them.

inline int Min(int a, int b) { return a < b ? a : b; }
inline int Max(int a, int b) { return a > b ? a : b; }
