#pragma once
// The shared settings file "tarsel.ini" in the settings folder: the folder
// keys every program reads at start-up, the manager's preference keys and
// each processor's on/off key. Section and key names are matched without
// regard to case; booleans are written "1" / "0". Nothing is cached: each
// read looks at the file as it is now, and each write replaces the file
// atomically, keeping every other key.

#include <string>
#include <vector>

namespace store {

inline constexpr const char* kSettingsFileName = "tarsel.ini";

// The four folder settings. Each ends with "/" once read or stored, so
// that every program appends names to the same string.
struct FolderSettings {
    std::string messages;
    std::string agents;
    std::string templates;
    std::string database;
};

// The folder with a trailing "/" (an empty one stays empty: it is no folder).
std::string FolderWithSeparator(std::string folder);
FolderSettings WithSeparators(FolderSettings folders);

enum class Processor { Retriever, AgentProcessor };  // postp, posta

class Settings {
public:
    // fileName: the settings file; a bare name lies in the settings folder.
    explicit Settings(std::string fileName = kSettingsFileName);
    const std::string& FileName() const { return fileName_; }

    // The program folder followed by "messages/", "agents/" and
    // "templates/", and the program folder itself for the tables.
    static FolderSettings DefaultFolders();

    // [Folders] Messages, Agents, DataBase, Templates with the defaults, each
    // with its trailing "/". A key present with an empty value falls back to
    // its default, and a line saying so is added to `notices` (when given).
    FolderSettings ReadFolders(std::vector<std::string>* notices = nullptr) const;
    // Both writers store each folder with its trailing "/".
    // The manager at exit: Messages, Agents and DataBase (not Templates).
    void WriteFoldersAtExit(const FolderSettings& folders);
    // The preferences dialog's OK: Messages, Agents, Database, Templates.
    void WritePreferenceFolders(const FolderSettings& folders);

    // [RAS] Service, default "None".
    std::string RasService() const;
    void WriteRasService(const std::string& service);
    // [Connect] Method: "LAN", "MANUAL" or "RAS" (default "LAN"), as stored.
    std::string ConnectMethod() const;
    void WriteConnectMethod(const std::string& method);
    // [Misc] SoundsDisabled, default false.
    bool SoundsDisabled() const;
    void WriteSoundsDisabled(bool disabled);

    // [ProcessorSettings] (postp) or [AgentSettings] (posta) AutoEnabled,
    // default true.
    bool AutoEnabled(Processor processor) const;
    void WriteAutoEnabled(Processor processor, bool enabled);

private:
    std::string fileName_;
};

// Creates the messages, agents and templates folders with their parents
// (the manager at start-up); the data folder is not created. Throws
// platform::FileError "Unable to create directory" when one cannot be made.
void CreateManagerFolders(const FolderSettings& folders);
// Creates the messages and agents folders (the processors at start-up).
void CreateProcessorFolders(const FolderSettings& folders);

}  // namespace store
