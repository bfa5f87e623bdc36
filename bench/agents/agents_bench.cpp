// One posta pass (the real program, single-pass mode): over 1,000 waiting
// messages with two agents whose triggers do not fire, and over 200 with an
// agent that replies through a local SMTP server. Messages per second and
// posta's peak memory.
#include "fixtures/processor_home.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

std::string message(int n)
{
    std::string text = "From: Bench Sender <bench@example.org>\r\nTo: desk@example.org\r\nMessage-ID: <bench" +
                       std::to_string(n) + "@example.org>\r\nDate: Tue, 08 Dec 2026 09:30:00 +0100\r\nSubject: message " +
                       std::to_string(n) + "\r\n\r\n";
    const std::string line = std::string(76, 'b') + "\r\n";
    for (int i = 0; i < 40; ++i)
        text += line;
    return text;
}

// Runs one pass over `count` messages set up by `prepare`; reports the rate
// and the peak memory.
template <typename Prepare>
void runPasses(benchmark::State& state, int count, Prepare prepare)
{
    long peakKb = 0;
    double seconds = 0;
    for (auto _ : state) {
        agents_test::ProcessorHome home;
        prepare(home);
        for (int n = 0; n < count; ++n)
            home.addPending("bench", "m" + std::to_string(n) + ".eml", message(n));

        const agents_test::ProgramExit run = home.run(TARSEL_POSTA);

        if (!run.exited || run.status != 0 || !home.pendingFiles("bench").empty()) {
            state.SkipWithError("the pass did not file every message");
            return;
        }
        state.SetIterationTime(run.seconds);
        seconds += run.seconds;
        peakKb = std::max(peakKb, run.peakRssKb);
    }
    state.counters["messages_per_second"] =
        benchmark::Counter(static_cast<double>(count) * static_cast<double>(state.iterations()) / seconds);
    state.counters["peak_rss_kb"] = static_cast<double>(peakKb);
}

void BM_PostaPassNoAgentFires(benchmark::State& state)
{
    runPasses(state, 1000, [](agents_test::ProcessorHome& home) {
        home.addAccount({"bench", "Bench", "desk@example.org", "", ""});
        home.writeAgent("Urgent", {{"Subject", "contains", "urgent"}}, {{"PLAY SOUND", "alarm.wav", ""}});
        home.writeAgent("Orders", {{"<Body>", "contains", "ORDER="}}, {{"FORWARD TO", "orders@example.org", ""}});
        home.attachAgent("bench", "Urgent");
        home.attachAgent("bench", "Orders");
    });
}
BENCHMARK(BM_PostaPassNoAgentFires)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_PostaPassReplying(benchmark::State& state)
{
    if (!test_support::SmtpServer::available()) {
        state.SkipWithError("aiosmtpd is not installed");
        return;
    }
    test_support::SmtpServer smtp;
    test_support::TempDir templates("tpl");
    const std::string tpl = templates.file("reply.eml");
    test_support::writeFile(tpl, "From: x@y\r\nSubject: Thank you\r\n\r\nDear <<REPLYHEADER~FROMNAME>>,\r\n"
                                 "we have your message.\r\n");
    runPasses(state, 200, [&](agents_test::ProcessorHome& home) {
        home.addAccount({"bench", "Bench", "desk@example.org", "", smtp.address()});
        home.writeAgent("Replier", {{"Subject", "contains", "message"}}, {{"AUTO-REPLY", tpl, ""}});
        home.attachAgent("bench", "Replier");
    });
    if (smtp.messageCount() < 200)
        state.SkipWithError("not every reply reached the server");
}
BENCHMARK(BM_PostaPassReplying)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
