#include "tests/support/python_mail_reading.h"

#include <stdexcept>

#include "tests/support/command_output.h"

namespace test_support {

namespace {

std::string script() { return std::string(TARSEL_SOURCE_DIR_SUPPORT) + "/tests/support/mail_reading.py"; }

std::string run(const std::string& arguments)
{
    CommandOutput done = runCommand("/usr/bin/python3 " + shellQuoted(script()) + " " + arguments);
    if (done.status != 0)
        throw std::runtime_error("mail_reading.py failed: " + done.output);
    return std::move(done.output);
}

std::string unescaped(const std::string& field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char next = field[++i];
        out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

std::vector<std::string> fieldsOf(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(unescaped(line.substr(start, tab - start)));
    fields.push_back(unescaped(line.substr(start)));
    return fields;
}

}  // namespace

PythonMailReading readMailWithPython(const std::string& path)
{
    PythonMailReading reading;
    reading.output = run("show " + shellQuoted(path));
    std::size_t start = 0;
    for (std::size_t end; (end = reading.output.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::vector<std::string> f = fieldsOf(reading.output.substr(start, end - start));
        const std::string& key = f[0];
        const auto at = [&](std::size_t i) { return i < f.size() ? f[i] : std::string(); };
        if (key == "subject")
            reading.subject = at(1);
        else if (key == "from" || key == "to" || key == "cc")
            (key == "from" ? reading.from : key == "to" ? reading.to : reading.cc).push_back({at(1), at(2)});
        else if (key == "text")
            reading.text = at(1), reading.textCharSet = at(2);
        else if (key == "part")
            reading.parts.push_back({at(1), at(2), static_cast<std::size_t>(std::stoul("0" + at(3)))});
        else if (key == "field")
            reading.fields.emplace_back(at(1), at(2));
        else if (key == "header_ascii")
            reading.headerAscii = at(1) == "yes";
        else if (key == "longest_line")
            reading.longestLine = static_cast<std::size_t>(std::stoul("0" + at(1)));
        else if (key == "unsound")
            reading.unsound.push_back(at(1));
    }
    return reading;
}

std::string fieldOf(const PythonMailReading& reading, const std::string& name)
{
    for (const auto& [field, value] : reading.fields)
        if (field == name)
            return value;
    return {};
}

std::string differencesSeenByPython(const std::string& original, const std::string& written)
{
    return run("compare " + shellQuoted(original) + " " + shellQuoted(written));
}

}  // namespace test_support
