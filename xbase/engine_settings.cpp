#include "xbase/engine_settings.h"

namespace xbase {

namespace {

const char* basePicture(int code) {
    switch (code) {
    case 1: return "yy.mm.dd";
    case 2:
    case 3: return "dd/mm/yy";
    case 4: return "dd.mm.yy";
    case 5:
    case 6: return "dd-mm-yy";
    default: return "mm/dd/yy";
    }
}

}  // namespace

std::string EngineSettings::datePicture() const {
    std::string p = basePicture(dateFormat);
    if (century) p.insert(p.find("yy"), "yy");
    return p;
}

EvalSettings EngineSettings::evalSettings() const {
    EvalSettings s;
    s.exact = exact;
    s.century = century;
    s.epoch = epoch;
    s.dateFormat = basePicture(dateFormat);
    return s;
}

namespace {
uint64_t serial = 0;
}  // namespace

uint64_t callSerial() { return serial; }
void beginCall() { ++serial; }

EngineSettings& settings() {
    static EngineSettings s;
    return s;
}

}  // namespace xbase
