#pragma once
// Windows' MulDiv, the rounding rule of every percentage and unit
// conversion of the controls.

// a * b / c with a 64-bit product, rounded half away from zero; -1 when c
// is 0 or the result does not fit an int.
int MulDiv(int a, int b, int c);
