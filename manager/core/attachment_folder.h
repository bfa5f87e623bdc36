#pragma once
// The private folder of one message window under the user's cache folder,
// where the attachments of the shown message are written so that they can
// be listed, opened and saved again; removed with the window.

#include <string>

class TmsCustomMessage;

namespace manager {

class AttachmentFolder {
public:
    // Nothing is created until the first attachment is written.
    AttachmentFolder() = default;
    ~AttachmentFolder();
    AttachmentFolder(const AttachmentFolder&) = delete;
    AttachmentFolder& operator=(const AttachmentFolder&) = delete;

    // Writes attachment `index` of the message into a folder of its own,
    // under its name made safe for the file system, so that two of one name
    // keep their own bytes and no name reaches outside; the path written.
    std::string Save(const TmsCustomMessage& message, int index);
    // The folder ("" until something was written); ends with "/".
    const std::string& Path() const { return path_; }

private:
    void create();

    std::string path_;
    int next_ = 0;
};

}  // namespace manager
