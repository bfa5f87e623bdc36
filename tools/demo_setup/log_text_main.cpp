// tarsel-log-text FILE: prints a status log (rich text) as plain text, one
// line a paragraph, in the order the file holds them (newest first).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/rtf_reader.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarsel-log-text FILE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tarsel-log-text: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const auto& paragraph : platform::ReadRtf(source).paragraphs) {
        const std::string line = paragraph.PlainText();
        if (!line.empty())
            std::printf("%s\n", line.c_str());
    }
    return 0;
}
