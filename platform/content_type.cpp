#include "platform/content_type.h"

#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace platform {

namespace {

// Types as mail programs have long labelled attachments.
const std::map<std::string, std::string, std::less<>> builtIn = {
    {"txt", "text/plain"},       {"htm", "text/html"},
    {"html", "text/html"},       {"rtf", "text/rtf"},
    {"csv", "text/csv"},         {"xml", "text/xml"},
    {"css", "text/css"},         {"gif", "image/gif"},
    {"jpg", "image/jpeg"},       {"jpeg", "image/jpeg"},
    {"jpe", "image/jpeg"},       {"png", "image/png"},
    {"bmp", "image/bmp"},        {"tif", "image/tiff"},
    {"tiff", "image/tiff"},      {"ico", "image/x-icon"},
    {"zip", "application/zip"},  {"gz", "application/gzip"},
    {"tgz", "application/gzip"}, {"tar", "application/x-tar"},
    {"pdf", "application/pdf"},  {"doc", "application/msword"},
    {"xls", "application/vnd.ms-excel"},
    {"ppt", "application/vnd.ms-powerpoint"},
    {"wav", "audio/wav"},        {"mp3", "audio/mpeg"},
    {"mid", "audio/midi"},       {"midi", "audio/midi"},
    {"avi", "video/x-msvideo"},  {"mpg", "video/mpeg"},
    {"mpeg", "video/mpeg"},      {"mov", "video/quicktime"},
    {"eml", "message/rfc822"},   {"exe", "application/x-msdownload"},
};

const std::string fallback = "application/octet-stream";

struct State {
    std::mutex mutex;
    std::string mimeTypesPath = "/etc/mime.types";
    bool listLoaded = false;
    std::map<std::string, std::string, std::less<>> list;
    ContentTypeLookup custom;
};

State& state()
{
    static State s;
    return s;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

// mime.types lines: a type followed by its extensions; "#" starts a comment.
// The first line that names an extension wins.
void loadList(State& s)
{
    s.listLoaded = true;
    s.list.clear();
    if (s.mimeTypesPath.empty())
        return;
    std::ifstream in(s.mimeTypesPath);
    std::string line;
    while (std::getline(in, line)) {
        if (const size_t hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::string type, extension;
        if (!(words >> type) || type.find('/') == std::string::npos)
            continue;
        while (words >> extension)
            s.list.emplace(lower(extension), type);
    }
}

}  // namespace

std::string ContentTypeOfExtension(std::string_view extension)
{
    if (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    if (extension.empty())
        return fallback;
    const std::string key = lower(extension);
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.custom) {
        auto found = s.custom(key);
        return found && !found->empty() ? *found : fallback;
    }
    if (auto it = builtIn.find(key); it != builtIn.end())
        return it->second;
    if (!s.listLoaded)
        loadList(s);
    if (auto it = s.list.find(key); it != s.list.end())
        return it->second;
    return fallback;
}

std::string ContentTypeOfFile(std::string_view fileName)
{
    const size_t slash = fileName.find_last_of("/\\");
    if (slash != std::string_view::npos)
        fileName.remove_prefix(slash + 1);
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return fallback;
    return ContentTypeOfExtension(fileName.substr(dot));
}

void SetMimeTypesPath(const std::string& path)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.mimeTypesPath = path;
    s.listLoaded = false;
}

void SetContentTypeLookup(ContentTypeLookup lookup)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.custom = std::move(lookup);
}

}  // namespace platform
