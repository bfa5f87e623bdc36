#pragma once
// What the extended list view keeps of its column layout, and where: the
// section "<RegistryKey>\Columns" of "listviews.ini" in the settings folder,
// values "Order" (column indexes in display order) and "Sizes" (widths),
// both as comma-separated decimal numbers.

#include <optional>
#include <string>
#include <vector>

struct TELVSaveSettings {
    bool AutoSave = false;
    std::string RegistryKey;
    bool SaveColumnOrder = true;
    bool SaveColumnSizes = true;
};

namespace column_layout {

constexpr const char* kFileName = "listviews.ini";

std::string FormatList(const std::vector<int>& values);
// The first `count` values in turn; a value that is not a number counts as
// 0; where the text runs out, the entry of `current` stays.
std::vector<int> ParseList(const std::string& text, const std::vector<int>& current);
// True when `order` holds each of 0 .. size-1 once.
bool IsArrangement(const std::vector<int>& order);

// The saved value, nothing when it is missing or empty.
std::optional<std::string> Read(const std::string& registryKey, const std::string& name);
// Both values in one write; throws platform::IniFileError when it cannot.
void Write(const std::string& registryKey, const std::optional<std::string>& order,
           const std::optional<std::string>& sizes);

}  // namespace column_layout
