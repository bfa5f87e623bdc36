// Opens whatever bytes it is given as a table (and, after separators, its
// memo file and compound index) and walks it every way a program would:
// damaged files must give engine errors, never a crash or a hang.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "xbase/sx.h"

namespace {

const std::string& folder() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/fuzz_xbase_XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

void writeFile(const std::string& path, std::string_view bytes) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

void walkCurrentOrder() {
    sx_GoTop();
    for (int i = 0; i < 200 && !sx_Eof(); ++i) {
        for (int f = 1; f <= sx_FieldCount() && f <= 16; ++f) {
            const std::string name = sx_FieldName(f);
            sx_GetString(name.c_str());
            sx_Empty(name.c_str());
        }
        sx_Skip(1);
    }
    sx_GoBottom();
    for (int i = 0; i < 50 && !sx_Bof(); ++i) sx_Skip(-1);
    sx_Seek("A");
    sx_Count();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        sx_SysProp(SX_SP_ERROR_LEVEL, 0);
        sx_SetLockTimeout(0);
        return true;
    }();
    (void)quiet;
    // Parts: table, memo file, index, split at "\xFF\xFE\xFD".
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view separator("\xFF\xFE\xFD", 3);
    std::string_view parts[3];
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? input.find(separator, start) : std::string_view::npos;
        parts[i] = input.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (end == std::string_view::npos) {
            start = input.size();
            for (int j = i + 1; j < 3; ++j) parts[j] = {};
            break;
        }
        start = end + separator.size();
    }
    const std::string base = folder() + "/t";
    writeFile(base + ".dbf", parts[0]);
    if (!parts[1].empty()) writeFile(base + ".fpt", parts[1]); else unlink((base + ".fpt").c_str());
    if (!parts[2].empty()) writeFile(base + ".cdx", parts[2]); else unlink((base + ".cdx").c_str());

    if (sx_Use((base + ".dbf").c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX) != 0) {
        walkCurrentOrder();
        const int orders = static_cast<int>(sx_SysProp(SX_SP_ORDER_COUNT, 0));
        for (int o = 1; o <= orders && o <= 8; ++o) {
            if (sx_SetOrder(o)) walkCurrentOrder();
        }
        sx_CloseAll();
    }
    return 0;
}
