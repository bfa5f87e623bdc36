#include "mail/article.h"

#include "mail/mail_error.h"
#include "mail/message_decoder.h"
#include "mail/message_encoder.h"

void TmsArticle::Validate()
{
    TmsCustomMessage::Validate();
    if (newsGroups_.empty())
        throw EMessageError(mail::kNewsgroupRequired);
    if (Subject().empty())
        throw EMessageError(mail::kSubjectRequired);
}

void TmsArticle::SaveToStream(std::ostream& stream)
{
    TmsArticleEncoder encoder(*this);
    encoder.SetStream(stream);
    encoder.Encode();
}

void TmsArticle::saveToText(std::string& text)
{
    TmsArticleEncoder encoder(*this);
    encoder.SetText(text);
    encoder.Encode();
}

void TmsArticle::LoadFromStream(std::istream& stream) { loadFromText(mail::readWholeStream(stream)); }

void TmsArticle::loadFromText(std::string_view text)
{
    TmsArticleDecoder decoder(*this, text);
    decoder.Decode();
}

void TmsArticle::Clear()
{
    TmsCustomMessage::Clear();
    newsGroups_.clear();
    path_.clear();
    messageId_.clear();
}

void TmsArticle::ReadHeaders(const TmsHeaders& headers) { readHeaders(headers, false); }

void TmsArticle::ReadHeadersTolerantly(const TmsHeaders& headers) { readHeaders(headers, true); }

void TmsArticle::readHeaders(const TmsHeaders& headers, bool tolerant)
{
    const auto parse = tolerant ? mail::textToMailAddressLenient : TextToMailAddress;
    parse(headers.GetFieldValue("FROM"), Sender());
    path_ = headers.GetFieldValue("PATH");
    newsGroups_ = headers.GetFieldValue("NEWSGROUPS");
    messageId_ = headers.GetFieldValue("MESSAGE-ID");
    const std::string subject = headers.GetFieldValue("Subject");
    if (!subject.empty())
        SetSubject(subject);
    Headers().Assign(headers);
}

void TmsArticle::Assign(const TmsCustomMessage& source)
{
    if (this == &source)
        return;
    if (const auto* article = dynamic_cast<const TmsArticle*>(&source))
        newsGroups_ = article->newsGroups_;
    TmsCustomMessage::Assign(source);
}
