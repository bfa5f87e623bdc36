#include "retriever/core/message_keys.h"

#include "mail/headers.h"
#include "mail/message.h"
#include "store/table_layouts.h"
#include "tests/support/mail_corpus.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

TmsHeaders headers(std::initializer_list<std::string> lines) { return TmsHeaders(std::vector<std::string>(lines)); }

// The header lines of a mail text as the server lists them.
TmsHeaders serverHeaders(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find("\r\n", at)) != at && end != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return TmsHeaders(lines);
}

TEST(MessageKeys, SafeNameMapsEveryCharacterThatBreaksAFileName)
{
    EXPECT_EQ(MakeSafeFileName("<a|b?c:d\"e>"), "-a-b-c-d-e-");
    EXPECT_EQ(MakeSafeFileName("<../../etc/passwd>"), "-..-..-etc-passwd-");
    EXPECT_EQ(MakeSafeFileName("a\\b"), "a-b");
    EXPECT_EQ(MakeSafeFileName(std::string("a\0b\tc\x7f", 6)), "a-b-c-");
    // Characters a file name can hold stay, and so does the length.
    EXPECT_EQ(MakeSafeFileName("x*y@host.example"), "x*y@host.example");
}

TEST(MessageKeys, SafeNameIsNeverHiddenNorTooLong)
{
    EXPECT_EQ(MakeSafeFileName(".hidden@x"), "-hidden@x");
    EXPECT_EQ(MakeSafeFileName(".."), "-.");
    const std::string longId(400, 'a');
    EXPECT_EQ(MakeSafeFileName(longId).size(), retriever::kMaxFileKeyBytes);
    // A cut never leaves half a UTF-8 character.
    std::string accented(retriever::kMaxFileKeyBytes - 1, 'a');
    accented += "\xc3\xa9tail";
    EXPECT_EQ(MakeSafeFileName(accented), std::string(retriever::kMaxFileKeyBytes - 1, 'a'));
}

TEST(MessageKeys, PendingKeyUsesTheMessageIdOrTheDateAndSubject)
{
    EXPECT_EQ(PendingFileKey(headers({"Message-ID: <1@x>", "Subject: hello"})), "-1@x-");
    // Without a Message-ID: the date and five safe subject bytes; the
    // received key keeps the colon the file name cannot.
    const TmsHeaders noId = headers({"Date: Tue, 08 Dec 1998 09:30:00 +0100", "Subject: :Re: meeting"});
    EXPECT_EQ(PendingFileKey(noId), "19981208093000-Re- ");
    EXPECT_EQ(retriever::ReceivedKey(noId), "19981208093000:Re: ");
}

TEST(MessageKeys, MissingDateGivesTheZeroDateTime)
{
    EXPECT_EQ(PendingFileKey(headers({"Subject: abcdefgh"})), "18991230000000abcde");
    // Only a name's first character is kept from hiding it.
    EXPECT_EQ(PendingFileKey(headers({"Subject: .net news"})), "18991230000000.net ");
    EXPECT_EQ(retriever::ReceivedKey(headers({"Date: not a date"})), "18991230000000");
}

TEST(MessageKeys, ReceivedKeyIsTheRawIdInTheFieldWidth)
{
    EXPECT_EQ(retriever::ReceivedKey(headers({"message-id: <a:b@x>"})), "<a:b@x>");
    const std::string longId = "<" + std::string(60, 'z') + "@x>";
    const std::string key = retriever::ReceivedKey(headers({"Message-Id: " + longId}));
    EXPECT_EQ(key, longId.substr(0, 40));
    // The seek key is padded, so "<a@x>" does not find "<a@x>.more".
    const std::string seek = retriever::ReceivedSeekKey(headers({"Message-Id: <a@x>"}));
    EXPECT_EQ(seek.size(), 40u);
    EXPECT_EQ(seek, "<a@x>" + std::string(35, ' '));
    EXPECT_EQ(retriever::ReceivedSeekKey("<a@x>-0123abcd"), "<a@x>-0123abcd" + std::string(26, ' '));
}

// postp checks the key from the server's header lines, posta writes it from
// the pending file that postp saved: the two must agree, or a message left
// on the server is fetched and answered again at every poll.
TEST(MessageKeys, ReceivedKeyIsTheSameFromTheServerAndFromThePendingFile)
{
    const std::string date = "Date: Tue, 08 Dec 2026 09:30:00 +0100\r\n";
    for (const char* subject :
         {"Subject: plain words\r\n", "Subject:\r\n folded at once\r\n", "Subject: =?utf-8?Q?_blank_first?=\r\n",
          "Subject: =?iso-8859-1?Q?Caf=E9_au_lait?=\r\n", "Subject:\ttabbed\r\n", "Subject: \r\n"}) {
        const std::string text = "From: a@b.example\r\nTo: c@d.example\r\n" + date + std::string(subject) + "\r\nbody\r\n";
        TmsMessage fetched;
        fetched.LoadFromString(text);
        TmsMessage pending;
        pending.LoadFromString(fetched.SaveToString());
        EXPECT_EQ(retriever::ReceivedKey(serverHeaders(text)), retriever::ReceivedKey(pending.Headers())) << subject;
    }
    EXPECT_EQ(retriever::ReceivedKey(serverHeaders(date + "Subject:\r\n Hello world\r\n\r\n")),
              "20261208093000Hello");
}

TEST(MessageKeys, ContentTagIsTheSameForTheSameBytesOnly)
{
    const std::string tag = retriever::ContentTag("disk at 45%");
    EXPECT_EQ(tag.size(), retriever::kLongTagDigits);
    EXPECT_EQ(tag.find_first_not_of("0123456789abcdef"), std::string::npos) << tag;
    EXPECT_EQ(retriever::ContentTag("disk at 45%"), tag);
    EXPECT_NE(retriever::ContentTag("disk at 46%"), tag);
    EXPECT_NE(retriever::ContentTag(std::string("a\0b", 3)), retriever::ContentTag("a"));
    EXPECT_EQ(retriever::ContentTag("").size(), retriever::kLongTagDigits);
}

// A key of its own fits where the key goes, differs from the key it comes
// from and from the key of another tag, and the agent processor finds the
// received key of its own from the file's name.
TEST(MessageKeys, AKeyOfItsOwnFitsAndIsFoundAgainFromTheFileName)
{
    const std::string tag = "0123456789abcdef", shortTag = tag.substr(0, retriever::kShortTagDigits);
    for (const std::string& id : {std::string("<same@x>"), "<" + std::string(400, 'k') + "@x>", std::string()}) {
        const TmsHeaders h = id.empty() ? headers({"Date: Tue, 08 Dec 2026 03:00:00 +0100", "Subject: Disk report"})
                                        : headers({"Message-ID: " + id, "Subject: s"});
        const std::string key = PendingFileKey(h), receivedKey = retriever::ReceivedKey(h);
        for (const std::string& t : {shortTag, tag}) {
            const std::string own = retriever::DerivedFileKey(key, t);
            EXPECT_LE(own.size(), retriever::kMaxFileKeyBytes);
            EXPECT_EQ(own.substr(own.size() - t.size() - 1), "-" + t);
            EXPECT_NE(own, key);
            const std::string ownReceived = retriever::DerivedReceivedKey(receivedKey, t);
            EXPECT_LE(ownReceived.size(), static_cast<std::size_t>(store::kReceivedKeyWidth));
            EXPECT_NE(ownReceived, receivedKey);
            EXPECT_EQ(retriever::ReceivedKeyOf(h, own + ".eml"), ownReceived) << own;
            EXPECT_EQ(retriever::ReceivedKeyOf(h, own + ".EML"), ownReceived);
            EXPECT_EQ(retriever::TagInFileName(own + ".eml", key), t);
        }
        EXPECT_NE(retriever::DerivedReceivedKey(receivedKey, shortTag), retriever::DerivedReceivedKey(receivedKey, tag));
        EXPECT_NE(retriever::DerivedReceivedKey(receivedKey, "00000000"),
                  retriever::DerivedReceivedKey(receivedKey, "00000001"));
        // Named by the key itself, or by anything else: the message's own key.
        EXPECT_EQ(retriever::ReceivedKeyOf(h, key + ".eml"), receivedKey);
        EXPECT_EQ(retriever::TagInFileName(key + ".eml", key), "");
        EXPECT_EQ(retriever::ReceivedKeyOf(h, "dropped here.eml"), receivedKey);
        EXPECT_EQ(retriever::TagInFileName("dropped here.eml", key), std::nullopt);
    }
    // Only the message's own key with a tag counts: not another key's, not
    // a tag of other digits or length.
    const TmsHeaders h = headers({"Message-ID: <a@x>"});
    EXPECT_EQ(retriever::ReceivedKeyOf(h, "-b@x--0123abcd.eml"), "<a@x>");
    EXPECT_EQ(retriever::ReceivedKeyOf(h, "-a@x--0123ABCD.eml"), "<a@x>");
    EXPECT_EQ(retriever::ReceivedKeyOf(h, "-a@x--0123abc.eml"), "<a@x>");
    EXPECT_EQ(retriever::ReceivedKeyOf(h, "-a@x--0123abcd.eml"), "<a@x>-0123abcd");
}

// Real mail: the key postp names a file by, from the server's header lines,
// is the key posta reads from that file, so a key of its own is known again.
TEST(MessageKeys, TheFileKeyIsTheSameFromTheServerAndFromThePendingFile)
{
    int compared = 0;
    for (const test_support::CorpusMessage& sample : test_support::realWorldMessages()) {
        const std::string text = test_support::readFile(sample.path);
        TmsHeaders server;
        server.SetText(text);
        server.CutAtBlankLine();
        TmsMessage fetched;
        fetched.LoadFromString(text);
        TmsMessage pending;
        pending.LoadFromString(fetched.SaveToString());
        const std::string key = PendingFileKey(server);
        const std::string own = retriever::DerivedFileKey(key, "0123abcd");
        EXPECT_EQ(PendingFileKey(pending.Headers()), key) << sample.name;
        EXPECT_EQ(retriever::ReceivedKeyOf(pending.Headers(), own + ".eml"),
                  retriever::DerivedReceivedKey(retriever::ReceivedKey(server), "0123abcd"))
            << sample.name;
        ++compared;
    }
    EXPECT_GT(compared, 100);
}

}  // namespace
