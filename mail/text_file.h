#pragma once
// Writing a list of lines as a text file.

#include <string>
#include <vector>

// Creates or overwrites the file with every line followed by CR LF.
// Throws mail::EInOutError when the file cannot be written.
void SaveListToFile(const std::vector<std::string>& list, const std::string& path);
