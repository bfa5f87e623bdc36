#include "tables/wa_guard.h"

#include "xbase/sx.h"

namespace tables {

bool areaInUse(int handle) {
    return handle >= 1 && handle <= 255 && sx_SysProp(SX_SP_AREA_IN_USE, handle) != 0;
}

bool selectArea(int handle) {
    if (!areaInUse(handle)) return false;
    sx_Select(handle);
    return true;
}

}  // namespace tables

TWA::TWA(int handle) {
    if (!tables::areaInUse(handle)) return;
    previous_ = sx_Select(handle);
    area_ = handle;
    valid_ = true;
}

TWA::~TWA() {
    if (valid_ && previous_ >= 1 && previous_ <= 255 && !sx_Alias(previous_).empty()) sx_Select(previous_);
}
