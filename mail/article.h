#pragma once
// The news variant of a message: newsgroups instead of recipient lists,
// written with the news header block.

#include <string>

#include "mail/message.h"

class TmsArticle : public TmsCustomMessage {
public:
    TmsArticle() = default;

    const std::string& NewsGroups() const { return newsGroups_; }
    void SetNewsGroups(std::string newsGroups) { newsGroups_ = std::move(newsGroups); }
    // The Path and Message-ID values last read from headers.
    const std::string& Path() const { return path_; }
    const std::string& MessageID() const { return messageId_; }

    void Validate() override;
    void SaveToStream(std::ostream& stream) override;
    void LoadFromStream(std::istream& stream) override;
    void Clear() override;
    void ReadHeaders(const TmsHeaders& headers) override;
    void ReadHeadersTolerantly(const TmsHeaders& headers) override;
    void Assign(const TmsCustomMessage& source) override;

protected:
    void loadFromText(std::string_view text) override;
    void saveToText(std::string& text) override;

private:
    void readHeaders(const TmsHeaders& headers, bool tolerant);

    std::string newsGroups_;
    std::string path_;
    std::string messageId_;
};
