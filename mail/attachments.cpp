#include "mail/attachments.h"

#include <fstream>
#include <iterator>

#include "mail/mail_error.h"
#include "mail/text_case.h"
#include "mail/text_limit.h"
#include "platform/content_type.h"

namespace mail {

AttEncoding encodingForContentType(std::string_view contentType)
{
    const std::string type = upperCase(contentType);
    if (type == "TEXT/PLAIN" || type == "TEXT/RTF" || type == "TEXT/HTML")
        return AttEncoding::QuotedPrintable;
    if (type == "MESSAGE/RFC822")
        return AttEncoding::None;
    return AttEncoding::Base64;
}

std::string fileNamePart(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace mail

std::string GetMimeTypeOfFile(std::string_view fileName)
{
    return platform::ContentTypeOfFile(mail::fileNamePart(fileName));
}

void TmsAttItem::SetFileName(std::string_view fileName)
{
    fileName_ = mail::limitText(fileName);
    if (fileName_.empty())
        return;
    SetContentType(GetMimeTypeOfFile(fileName_));
    encoding_ = mail::encodingForContentType(contentType_);
}

void TmsAttItem::SetContentType(std::string_view contentType) { contentType_ = mail::limitText(contentType); }

void TmsAttItem::Assign(const TmsAttItem& source)
{
    contents_ = source.contents_;
    contentType_ = source.contentType_;
    encoding_ = source.encoding_;
    fileName_ = source.fileName_;
}

TmsAttList& TmsAttList::operator=(const TmsAttList& other)
{
    if (this != &other)
        Assign(other);
    return *this;
}

TmsAttItem& TmsAttList::Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }

const TmsAttItem& TmsAttList::Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }

void TmsAttList::Add(std::unique_ptr<TmsAttItem> item)
{
    if (item)
        items_.push_back(std::move(item));
}

TmsAttItem& TmsAttList::AddFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw mail::EInOutError("Cannot open file \"" + path + "\"");
    auto item = std::make_unique<TmsAttItem>();
    item->SetFileName(path);
    item->Contents().assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        throw mail::EInOutError("Cannot read file \"" + path + "\"");
    items_.push_back(std::move(item));
    return *items_.back();
}

void TmsAttList::Assign(const TmsAttList& source)
{
    if (this == &source)
        return;
    items_.clear();
    for (const auto& item : source.items_) {
        auto copy = std::make_unique<TmsAttItem>();
        copy->Assign(*item);
        items_.push_back(std::move(copy));
    }
}
