// posta in single-pass mode (the real program) over waiting messages of
// about 5 KB: with two agents whose triggers do not fire, and with one agent
// that answers every message with an automatic reply (four merge codes)
// through a local SMTP server, one connection per reply, at 1,000 and 10,000
// messages. In the same run a plain client sends 1,000 prepared messages of
// the same size to the same server, one connection each: the floor, on its
// own and again before each replying pass, since the machine's load drifts.
// Reports messages per second, posta's peak memory, and the pass's rate over
// the floor's measured next to it.
#include "fixtures/processor_home.h"
#include "plain_smtp_client.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFloorMessages = 1000;

// A Message-ID as mail programs make them: not in the order of the files.
std::string messageId(int n)
{
    const unsigned scrambled = static_cast<unsigned>(n) * 2654435761u;
    return "<" + std::to_string(scrambled) + "." + std::to_string(n) + "@example.org>";
}

// About 5 KB: headers, then 62 lines of 78 bytes. Every subject holds "order".
std::string message(int n)
{
    std::string text = "From: Bench Sender <bench" + std::to_string(n % 50) +
                       "@example.org>\r\nTo: desk@example.org\r\nMessage-ID: " + messageId(n) +
                       "\r\nDate: Tue, 08 Dec 2026 09:30:00 +0100\r\nSubject: order " +
                       std::to_string(n) + "\r\n\r\n";
    const std::string line = std::string(76, 'b') + "\r\n";
    for (int i = 0; i < 62; ++i)
        text += line;
    return text;
}

// The reply template: four merge codes, and a body that makes the reply
// about as long as the messages it answers.
std::string replyTemplate()
{
    std::string text = "From: x@y\r\nSubject: Your order\r\n\r\n"
                       "Dear <<REPLYHEADER~FROMNAME>>,\r\n"
                       "we have your message <<REPLYHEADER~Subject>>\r\n"
                       "of <<REPLYHEADER~Date>>,\r\n"
                       "and <<SYSTEM~CURRENTNODE>> will answer it soon.\r\n\r\n";
    const std::string line = std::string(76, 't') + "\r\n";
    for (int i = 0; i < 58; ++i)
        text += line;
    return text;
}

// One server for the whole run, so the floor and the passes meet the same one.
test_support::SmtpServer& server()
{
    static test_support::SmtpServer smtp;
    return smtp;
}

// The floor's messages, prepared once.
const std::vector<std::string>& floorBlocks()
{
    static const std::vector<std::string> blocks = [] {
        std::vector<std::string> out;
        for (int n = 0; n < kFloorMessages; ++n)
            out.push_back(bench_agents::DataBlock(message(n)));
        return out;
    }();
    return blocks;
}

// Seconds the plain client takes for the floor's messages, once all reached the server.
double floorSeconds()
{
    const std::size_t before = server().messageCount();
    const auto started = std::chrono::steady_clock::now();
    for (const std::string& block : floorBlocks())
        bench_agents::SendPlain(server().port(), "desk@example.org", "bench1@example.org", block);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return server().waitForMessages(before + floorBlocks().size()) ? took : -1;
}

// Runs one pass over `count` messages set up by `prepare`; reports the rate
// and the peak memory. `replies`: each message is answered through the server.
template <typename Prepare>
void runPasses(benchmark::State& state, int count, bool replies, Prepare prepare)
{
    long peakKb = 0;
    double seconds = 0;
    double floorTotal = 0;  // the floor, measured next to each pass: the machine's load drifts
    for (auto _ : state) {
        state.PauseTiming();
        if (replies) {
            const double took = floorSeconds();
            if (took < 0) {
                state.SkipWithError("not every floor message reached the server");
                return;
            }
            floorTotal += took;
        }
        agents_test::ProcessorHome home;
        prepare(home);
        for (int n = 0; n < count; ++n)
            home.addPending("bench", "m" + std::to_string(n) + ".eml", message(n));
        const std::size_t before = replies ? server().messageCount() : 0;
        state.ResumeTiming();

        const agents_test::ProgramExit run = home.run(TARSEL_POSTA, {"/SINGLEPASS"});

        if (!run.exited || run.status != 0 || !home.pendingFiles("bench").empty()) {
            state.SkipWithError("the pass did not file every message");
            return;
        }
        if (replies && !server().waitForMessages(before + static_cast<std::size_t>(count))) {
            state.SkipWithError("not every reply reached the server");
            return;
        }
        state.SetIterationTime(run.seconds);
        seconds += run.seconds;
        peakKb = std::max(peakKb, run.peakRssKb);
    }
    const double rate = static_cast<double>(count) * static_cast<double>(state.iterations()) / seconds;
    state.counters["messages_per_second"] = rate;
    state.counters["peak_rss_kb"] = static_cast<double>(peakKb);
    if (replies) {
        const double floorRate = kFloorMessages * static_cast<double>(state.iterations()) / floorTotal;
        state.counters["floor_messages_per_second"] = floorRate;
        state.counters["ratio_to_floor"] = rate / floorRate;
    }
}

void BM_PostaPassNoAgentFires(benchmark::State& state)
{
    runPasses(state, 1000, false, [](agents_test::ProcessorHome& home) {
        home.addAccount({"bench", "Bench", "desk@example.org", "", ""});
        home.writeAgent("Urgent", {{"Subject", "contains", "urgent"}}, {{"PLAY SOUND", "alarm.wav", ""}});
        home.writeAgent("Orders", {{"<Body>", "contains", "ORDER="}}, {{"FORWARD TO", "orders@example.org", ""}});
        home.attachAgent("bench", "Urgent");
        home.attachAgent("bench", "Orders");
    });
}
BENCHMARK(BM_PostaPassNoAgentFires)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// The floor: 1,000 prepared messages, each on a connection of its own.
void BM_PlainClientFloor(benchmark::State& state)
{
    if (!test_support::SmtpServer::available()) {
        state.SkipWithError("aiosmtpd is not installed");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        const double took = floorSeconds();
        if (took < 0) {
            state.SkipWithError("not every message reached the server");
            return;
        }
        state.SetIterationTime(took);
        seconds += took;
    }
    state.counters["messages_per_second"] =
        static_cast<double>(kFloorMessages) * static_cast<double>(state.iterations()) / seconds;
}
BENCHMARK(BM_PlainClientFloor)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_PostaPassReplying(benchmark::State& state)
{
    if (!test_support::SmtpServer::available()) {
        state.SkipWithError("aiosmtpd is not installed");
        return;
    }
    test_support::TempDir templates("tpl");
    const std::string tpl = templates.file("reply.eml");
    test_support::writeFile(tpl, replyTemplate());
    const std::string smtp = server().address();
    runPasses(state, static_cast<int>(state.range(0)), true, [&](agents_test::ProcessorHome& home) {
        home.addAccount({"bench", "Bench", "desk@example.org", "", smtp});
        home.writeAgent("Replier", {{"Subject", "contains", "order"}}, {{"AUTO-REPLY", tpl, ""}});
        home.attachAgent("bench", "Replier");
    });
}
BENCHMARK(BM_PostaPassReplying)->Arg(1000)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PostaPassReplying)->Arg(10000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
