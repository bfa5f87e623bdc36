#pragma once
// The messages of one account's POP3 mailbox that are kept here, by the
// unique ids the server gives them, each with the name of the mail file
// that keeps it: a later poll knows them without fetching them again. The
// list lives in the account's message folder and holds one mailbox (server
// and login); the list of another mailbox counts as empty. An id is added
// at once, one line at the end; a line that a kill cut short is never read.

#include <map>
#include <optional>
#include <set>
#include <string>

namespace retriever {

// The list's file name inside an account's message folder.
inline constexpr const char* kKeptIdsFile = "kept.uidl";

class KeptIds {
public:
    // Reads the list at `path`; an unreadable one counts as empty.
    KeptIds(std::string path, std::string mailbox);

    // The mail file name kept for the id; none for "" or an id not listed.
    std::optional<std::string> FileOf(const std::string& id) const;
    // Adds (or renames) the id's entry. Throws platform::FileError.
    void Add(const std::string& id, const std::string& fileName);
    // Keeps only the ids in `onServer`; the file is written again only when
    // that drops an entry. Throws platform::FileError.
    void KeepOnly(const std::set<std::string>& onServer);

private:
    std::string line(const std::string& id, const std::string& fileName) const;
    void append(const std::string& text);
    void rewrite();

    std::string path_;
    std::string heading_;
    std::map<std::string, std::string> files_;
    bool listed_ = false;  // the file holds this mailbox's list
};

}  // namespace retriever
