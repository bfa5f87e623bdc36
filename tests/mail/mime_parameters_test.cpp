// Parameters of MIME fields: plain, quoted and escaped values, the RFC 2231
// forms, and file names in every form senders write them.

#include <gtest/gtest.h>

#include <string>

#include "mail/mime_fields.h"

namespace {

using mail::fileNameParam;
using mail::GetHeaderParam;

const std::string kGruesse = "Gr\xC3\xBC\xC3\x9F" "e.txt";

TEST(MimeParameters, PlainQuotedAndEscapedValues)
{
    EXPECT_EQ(GetHeaderParam("name", "application/pdf; name=\"a b.pdf\""), "a b.pdf");
    EXPECT_EQ(GetHeaderParam("Name", "application/pdf;NAME = x.pdf ; type=y"), "x.pdf");
    EXPECT_EQ(GetHeaderParam("name", "text/plain; name=\"say \\\"hi\\\".txt\""), "say \"hi\".txt");
    EXPECT_EQ(GetHeaderParam("charset", "text/plain; charset=utf-8 (comment)"), "utf-8");
    // A longer name that ends with the one asked for is another parameter.
    EXPECT_EQ(GetHeaderParam("name", "attachment; filename=\"a.txt\""), "");
    EXPECT_EQ(GetHeaderParam("name", "attachment; filename*=utf-8''a.txt"), "");
    // A field that does not follow the syntax is still read as before.
    EXPECT_EQ(GetHeaderParam("boundary", "multipart/mixed boundary=abc"), "abc");
}

TEST(MimeParameters, ValuesWithACharsetOrInSectionsAreJoinedAsUtf8)
{
    EXPECT_EQ(GetHeaderParam("filename", "attachment; filename*=utf-8''Gr%C3%BC%C3%9Fe.txt"), kGruesse);
    EXPECT_EQ(GetHeaderParam("filename", "attachment; filename*=iso-8859-1'de'Gr%FC%DFe.txt"), kGruesse);
    // A character cut between sections, sections out of order, a plain one.
    EXPECT_EQ(GetHeaderParam("filename", "attachment; filename*1*=%BC%C3%9F; filename*0*=utf-8''Gr%C3;"
                                         " filename*2=e.txt"),
              kGruesse);
    // The value with a charset wins over a plain one; a missing section ends it.
    EXPECT_EQ(GetHeaderParam("filename", "a; filename=\"old.txt\"; filename*=utf-8''Gr%C3%BC%C3%9Fe.txt"), kGruesse);
    EXPECT_EQ(GetHeaderParam("name", "a; name*0=one; name*2=three"), "one");
    EXPECT_EQ(GetHeaderParam("name", "a; name*99999=x; name*-1=y; name*0=z"), "z");
}

TEST(MimeParameters, FileNamesInEveryFormSendersUse)
{
    EXPECT_EQ(fileNameParam("name", "text/plain; name=\"=?utf-8?B?R3LDvMOfZS50eHQ=?=\""), kGruesse);
    EXPECT_EQ(fileNameParam("name", "text/plain; name=\"Gr\xFC\xDF" "e.txt\""), kGruesse);  // raw Latin-1
    EXPECT_EQ(fileNameParam("name", "text/plain; name=\"" + kGruesse + "\""), kGruesse);
    EXPECT_EQ(fileNameParam("filename", "attachment; filename*0*=utf-8''Gr%C3%BC; filename*1*=%C3%9Fe.txt"), kGruesse);
}

}  // namespace
