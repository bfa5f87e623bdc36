// Small parts of the transport: the HTTP address split, the data-block
// coders, the countdown and the error texts.

#include "mail/net/dot_codec.h"
#include "mail/net/http_config.h"
#include "mail/net/net_errors.h"
#include "mail/net/socket_error_codes.h"
#include "mail/net/time_counter.h"
#include "mail/net/transport_texts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

namespace {

TEST(NetHttpConfigTest, AddressSplitsIntoServerPathAndDocument)
{
    TagHTTP http;
    http.SetURL("http://www.example.com/docs/news.txt");
    EXPECT_EQ(http.Server(), "www.example.com");
    EXPECT_EQ(http.Path(), "/docs/news.txt");
    EXPECT_EQ(http.Document(), "news.txt");
    http.SetURL("HTTP://www.example.com/docs/");
    EXPECT_EQ(http.Path(), "/docs/");
    EXPECT_EQ(http.Document(), "");
    http.SetURL("http://www.example.com/release.2/");
    EXPECT_EQ(http.Document(), "index.html");
    http.SetURL("http://www.example.com");
    EXPECT_EQ(http.Path(), "/");
    EXPECT_EQ(http.Document(), "");
}

TEST(NetHttpConfigTest, ProxyBecomesTheServerUntilCleared)
{
    TagHTTP http;
    http.SetProxy("proxy.example.com:3128");
    http.SetURL("http://www.example.com/a.html");
    EXPECT_EQ(http.Server(), "proxy.example.com:3128");
    EXPECT_EQ(http.Document(), "a.html");
    http.SetProxy("");
    EXPECT_EQ(http.Server(), "");
    http.SetURL("http://www.example.com/a.html");
    EXPECT_EQ(http.Server(), "www.example.com");
}

TEST(NetHttpConfigTest, OtherSchemesAndPortlessProxiesAreRefused)
{
    TagHTTP http;
    try {
        http.SetURL("ftp://www.example.com/");
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "Invalid URL");
    }
    try {
        http.SetProxy("proxy.example.com");
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "Proxy port is required");
    }
    EXPECT_EQ(http.Proxy(), "");
}

// Feeds the text to a decoder in pieces of the given size.
std::string decodeInPieces(const std::string& wire, std::size_t piece, std::size_t& consumed)
{
    mail::net::DotDecoder decoder;
    std::string out;
    consumed = 0;
    while (consumed < wire.size() && !decoder.done()) {
        std::string_view part = std::string_view(wire).substr(consumed, piece);
        std::size_t used = decoder.feed(part, out);
        consumed += used;
        if (used < part.size())
            break;
    }
    EXPECT_TRUE(decoder.done());
    return out;
}

TEST(NetDotCodecTest, StuffedTextComesBackUnchangedWhateverThePieces)
{
    const std::string text = ".\r\n..\r\n.a\r\nplain\r\n\r\n.\r.\r\nend\r\n";
    mail::net::DotStuffer stuffer;
    std::string wire;
    stuffer.feed(text, wire);
    EXPECT_EQ(wire, "..\r\n...\r\n..a\r\nplain\r\n\r\n..\r.\r\nend\r\n");
    wire += ".\r\nNEXT";
    for (std::size_t piece : {1u, 2u, 3u, 7u, 1000u}) {
        std::size_t consumed = 0;
        EXPECT_EQ(decodeInPieces(wire, piece, consumed), text) << piece;
        EXPECT_EQ(wire.substr(consumed), "NEXT") << piece;
    }
}

TEST(NetDotCodecTest, StufferAddsMissingCarriageReturnsAcrossPieces)
{
    mail::net::DotStuffer stuffer;
    std::string wire;
    stuffer.feed("a\n.b\r", wire);
    stuffer.feed("\n.c\n", wire);
    EXPECT_EQ(wire, "a\r\n..b\r\n..c\r\n");
}

TEST(NetDotCodecTest, BareLineFeedDotEndsTheBlock)
{
    mail::net::DotDecoder decoder;
    std::string out;
    decoder.feed("x\n.\n", out);
    EXPECT_TRUE(decoder.done());
    EXPECT_EQ(out, "x\n");
}

TEST(NetTimeCounterTest, ZeroTimeOutRunsOutAtTheFirstTickAndTheMarkStays)
{
    TTimeCounter counter;
    counter.SetTimeOut(0);
    counter.Start();
    EXPECT_FALSE(counter.Expired());
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_TRUE(counter.Expired());
    counter.Start();
    EXPECT_TRUE(counter.Expired());  // only the owner's reset clears it
    counter.ClearExpired();
    EXPECT_FALSE(counter.Expired());
}

TEST(NetTransportTextsTest, SocketErrorsCarryTheirNumberedTexts)
{
    EXPECT_EQ(mail::net::errorText(mail::net::socketErrorFromErrno(ECONNREFUSED)), "[10061] Connection refused");
    EXPECT_EQ(mail::net::errorText(mail::net::socketErrorFromErrno(EPIPE)), "[10054] Connection reset by peer");
    EXPECT_EQ(mail::net::errorText(11001), "[11001] Host not found");
    EXPECT_EQ(mail::net::errorText(57105), "IDs are different");
    EXPECT_EQ(mail::net::errorText(57009), "Error #57009");
    EXPECT_STREQ(ETimedOutError().what(), "Operation timed out");
    EXPECT_STREQ(ECanceledError().what(), "Operation has been canceled");
}

}  // namespace
