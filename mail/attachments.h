#pragma once
// Attachments of a message: the bytes of one attached file with its name,
// content type and transfer encoding, and the owned list of them.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mail {

// How an attachment's contents travel in mail text.
enum class AttEncoding : std::uint8_t {
    None = 0,             // lines as they are ("7 bit")
    Base64 = 1,           // base64, or UU when the message is written in UU form
    QuotedPrintable = 2,
};

// The encoding a content type gets by default.
AttEncoding encodingForContentType(std::string_view contentType);

// The file-name part of a path ("/" separates folders).
std::string fileNamePart(std::string_view path);

}  // namespace mail

// The content type registered for the file's extension;
// "application/octet-stream" when none is known.
std::string GetMimeTypeOfFile(std::string_view fileName);

class TmsAttItem {
public:
    TmsAttItem() = default;

    std::string& Contents() { return contents_; }
    const std::string& Contents() const { return contents_; }

    const std::string& FileName() const { return fileName_; }
    // Stores the name (cut at 255); a non-empty name also sets the content
    // type registered for its extension and the encoding that type gets.
    void SetFileName(std::string_view fileName);

    const std::string& ContentType() const { return contentType_; }
    void SetContentType(std::string_view contentType);  // cut at 255

    mail::AttEncoding Encoding() const { return encoding_; }
    void SetEncoding(mail::AttEncoding encoding) { encoding_ = encoding; }

    void Assign(const TmsAttItem& source);

private:
    std::string contents_;
    std::string fileName_;
    std::string contentType_;
    mail::AttEncoding encoding_ = mail::AttEncoding::None;
};

class TmsAttList {
public:
    TmsAttList() = default;
    TmsAttList(const TmsAttList& other) { Assign(other); }
    TmsAttList& operator=(const TmsAttList& other);

    TmsAttItem& Items(int index);
    const TmsAttItem& Items(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }

    void Add(std::unique_ptr<TmsAttItem> item);
    // A new attachment named by the path and holding that file's bytes;
    // throws mail::EInOutError when the file cannot be read.
    TmsAttItem& AddFile(const std::string& path);
    void Clear() { items_.clear(); }
    void Assign(const TmsAttList& source);  // deep copy, contents included

private:
    std::vector<std::unique_ptr<TmsAttItem>> items_;
};
