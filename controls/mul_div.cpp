#include "controls/mul_div.h"

#include <climits>
#include <cstdlib>

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    long long product = static_cast<long long>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    product = std::llabs(product);
    const long long divisor = std::llabs(static_cast<long long>(c));
    const long long q = (product + divisor / 2) / divisor;
    if (q > INT_MAX)
        return -1;
    return static_cast<int>(negative ? -q : q);
}
