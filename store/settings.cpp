#include "store/settings.h"

#include <utility>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "store/ini_batch.h"
#include "store/ini_snapshot.h"

namespace store {

namespace {

constexpr const char* kFolders = "Folders";

const char* sectionOf(Processor processor)
{
    return processor == Processor::Retriever ? "ProcessorSettings" : "AgentSettings";
}

void forceFolder(const std::string& path)
{
    if (!platform::ForceDirectories(path))
        throw platform::FileError("Unable to create directory " + path);
}

}  // namespace

std::string FolderWithSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

FolderSettings WithSeparators(FolderSettings folders)
{
    for (std::string* folder : {&folders.messages, &folders.agents, &folders.templates, &folders.database})
        *folder = FolderWithSeparator(std::move(*folder));
    return folders;
}

Settings::Settings(std::string fileName) : fileName_(std::move(fileName)) {}

FolderSettings Settings::DefaultFolders()
{
    const std::string base = platform::ProgramDir();
    return {base + "messages/", base + "agents/", base + "templates/", base};
}

FolderSettings Settings::ReadFolders(std::vector<std::string>* notices) const
{
    const IniSnapshot ini(fileName_);
    const FolderSettings defaults = DefaultFolders();
    // An empty folder would put files into the current folder, or make the
    // folder creation fail at every start: the default serves instead.
    auto read = [&](const char* key, const std::string& fallback) {
        std::string value = ini.ReadString(kFolders, key, fallback);
        if (value.empty()) {
            if (notices)
                notices->push_back("The " + std::string(key) + " folder setting is empty; using " + fallback);
            value = fallback;
        }
        return FolderWithSeparator(std::move(value));
    };
    FolderSettings f;
    f.messages = read("Messages", defaults.messages);
    f.agents = read("Agents", defaults.agents);
    f.database = read("DataBase", defaults.database);
    f.templates = read("Templates", defaults.templates);
    return f;
}

void Settings::WriteFoldersAtExit(const FolderSettings& typed)
{
    const FolderSettings folders = WithSeparators(typed);
    IniBatch batch;
    batch.WriteString(kFolders, "Messages", folders.messages);
    batch.WriteString(kFolders, "Agents", folders.agents);
    batch.WriteString(kFolders, "DataBase", folders.database);
    batch.Apply(fileName_);
}

void Settings::WritePreferenceFolders(const FolderSettings& typed)
{
    const FolderSettings folders = WithSeparators(typed);
    IniBatch batch;
    batch.WriteString(kFolders, "Messages", folders.messages);
    batch.WriteString(kFolders, "Agents", folders.agents);
    batch.WriteString(kFolders, "Database", folders.database);
    batch.WriteString(kFolders, "Templates", folders.templates);
    batch.Apply(fileName_);
}

std::string Settings::RasService() const { return platform::IniFile(fileName_).ReadString("RAS", "Service", "None"); }

void Settings::WriteRasService(const std::string& service)
{
    platform::IniFile(fileName_).WriteString("RAS", "Service", service);
}

std::string Settings::ConnectMethod() const
{
    return platform::IniFile(fileName_).ReadString("Connect", "Method", "LAN");
}

void Settings::WriteConnectMethod(const std::string& method)
{
    platform::IniFile(fileName_).WriteString("Connect", "Method", method);
}

bool Settings::SoundsDisabled() const { return platform::IniFile(fileName_).ReadBool("Misc", "SoundsDisabled", false); }

void Settings::WriteSoundsDisabled(bool disabled)
{
    platform::IniFile(fileName_).WriteBool("Misc", "SoundsDisabled", disabled);
}

bool Settings::AutoEnabled(Processor processor) const
{
    return platform::IniFile(fileName_).ReadBool(sectionOf(processor), "AutoEnabled", true);
}

void Settings::WriteAutoEnabled(Processor processor, bool enabled)
{
    platform::IniFile(fileName_).WriteBool(sectionOf(processor), "AutoEnabled", enabled);
}

void CreateManagerFolders(const FolderSettings& folders)
{
    forceFolder(folders.messages);
    forceFolder(folders.agents);
    forceFolder(folders.templates);
}

void CreateProcessorFolders(const FolderSettings& folders)
{
    forceFolder(folders.messages);
    forceFolder(folders.agents);
}

}  // namespace store
