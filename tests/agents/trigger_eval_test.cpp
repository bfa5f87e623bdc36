// Which messages make an agent fire: header, whole-header and body triggers
// with each condition, and the firing rule over several triggers.
#include "agents/core/trigger_eval.h"
#include "mail/message.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using agents::AgentFires;
using agents::EvaluateTriggers;
using store::AgentTrigger;

std::unique_ptr<TmsMessage> message(const std::string& headers, const std::string& body)
{
    auto m = std::make_unique<TmsMessage>();
    m->LoadFromString(headers + "\r\n" + body);
    return m;
}

bool fires(const TmsMessage& m, const std::vector<AgentTrigger>& triggers)
{
    return AgentFires(EvaluateTriggers(m, triggers));
}

const std::string kHeaders = "From: Ann Lee <ann@example.org>\r\nTo: desk@example.org\r\n";

TEST(Triggers, HeaderContainsIgnoresCaseAndNeedsTheHeader)
{
    const AgentTrigger t{"Subject", "contains", "order"};
    EXPECT_TRUE(fires(*message(kHeaders + "Subject: Re: ORDER 17\r\n", "x\r\n"), {t}));
    EXPECT_FALSE(fires(*message(kHeaders, "order\r\n"), {t}));
    // An empty value never occurs.
    EXPECT_FALSE(fires(*message(kHeaders + "Subject: order\r\n", ""), {{"Subject", "CONTAINS", ""}}));
}

TEST(Triggers, HeaderDoesNotContainComparesExactly)
{
    const AgentTrigger t{"Subject", "doesn't contain", "Order"};
    EXPECT_TRUE(fires(*message(kHeaders + "Subject: order 17\r\n", ""), {t}));
    EXPECT_FALSE(fires(*message(kHeaders + "Subject: Order 17\r\n", ""), {t}));
    EXPECT_TRUE(fires(*message(kHeaders + "Subject: x\r\n", ""), {{"Subject", "DOES NOT CONTAIN", ""}}));
}

TEST(Triggers, HeaderBeginsWith)
{
    const auto m = message(kHeaders + "Subject: Invoice 12\r\n", "");
    EXPECT_TRUE(fires(*m, {{"Subject", "begins with", "INVOICE"}}));
    EXPECT_FALSE(fires(*m, {{"Subject", "begins with", "12"}}));
    EXPECT_TRUE(fires(*m, {{"Subject", "begins with", ""}}));
}

TEST(Triggers, BodyTriggersScanTheBodyEachOnTheirOwn)
{
    const auto m = message(kHeaders + "Subject: s\r\n", "first line\r\nplease send the CATALOGUE\r\n");
    EXPECT_TRUE(fires(*m, {{"<Body>", "contains", "catalogue"}, {"<Body>", "doesn't contain", "price"}}));
    EXPECT_FALSE(fires(*m, {{"<Body>", "contains", "catalogue"}, {"<Body>", "doesn't contain", "FIRST"}}));
}

TEST(Triggers, BodyBeginsWithLooksAtTheFirstLineOnly)
{
    const AgentTrigger t{"<Body>", "begins with", "order"};
    EXPECT_TRUE(fires(*message(kHeaders, "ORDER=17\r\nmore\r\n"), {t}));
    EXPECT_FALSE(fires(*message(kHeaders, "hello\r\norder=17\r\n"), {t}));
    EXPECT_FALSE(fires(*message(kHeaders, ""), {{"<Body>", "begins with", ""}}));
}

TEST(Triggers, WholeHeader)
{
    const auto m = message(kHeaders + "Subject: s\r\nX-Mailer: TurboMail\r\n", "body\r\n");
    EXPECT_TRUE(fires(*m, {{"ANYHEADER", "contains", "turbomail"}}));
    EXPECT_FALSE(fires(*m, {{"AnyHeader", "doesn't contain", "TURBOMAIL"}}));
    // As the configuration manager writes it, the name is a header no
    // message has.
    EXPECT_FALSE(fires(*m, {{"<Any Header>", "contains", "turbomail"}}));
    // One result per header line: only when every line begins with it.
    const auto results = EvaluateTriggers(*m, {{"ANYHEADER", "begins with", "X-"}});
    EXPECT_EQ(results.size(), static_cast<size_t>(m->Headers().Count()));
    EXPECT_FALSE(AgentFires(results));
}

TEST(Triggers, HeaderNameFixUps)
{
    EXPECT_EQ(agents::TriggerHeaderName("Subject: "), "Subject:");
    EXPECT_EQ(agents::TriggerHeaderName("Subject:"), "Subject:");
    EXPECT_EQ(agents::TriggerHeaderName("<Body>x"), "<Body>");
    EXPECT_EQ(agents::TriggerHeaderName("Subject"), "Subject");
    EXPECT_EQ(agents::TriggerHeaderName("x"), "x");
    const auto m = message(kHeaders + "Subject: order\r\n", "");
    EXPECT_TRUE(fires(*m, {{"Subject: ", "contains", "order"}}));
}

TEST(Triggers, FiringRule)
{
    const auto m = message(kHeaders + "Subject: order\r\n", "");
    EXPECT_FALSE(fires(*m, {}));
    // An unknown condition adds nothing: alone it never fires, beside
    // others it does not block them.
    EXPECT_FALSE(fires(*m, {{"Subject", "equals", "order"}}));
    EXPECT_TRUE(fires(*m, {{"Subject", "equals", "x"}, {"Subject", "contains", "ORD"}}));
    EXPECT_FALSE(fires(*m, {{"Subject", "contains", "ord"}, {"From", "contains", "bob"}}));
}

}  // namespace
