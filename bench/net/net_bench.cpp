// Messages per second through the POP3 client (list, header read, fetch,
// delete from a local Dovecot) and the SMTP client (send to a local aiosmtpd).

#include "mail/message.h"
#include "mail/net/pop3_client.h"
#include "mail/net/smtp_client.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/smtp_server.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kFetchCount = 1000;
constexpr int kSendCount = 200;
constexpr std::size_t kMessageBytes = 20 * 1024;

std::string bodyOf(std::size_t bytes)
{
    std::string body;
    for (int line = 0; body.size() < bytes; ++line)
        body += "Line " + std::to_string(line) + " of a message body that fills twenty kilobytes of text.\n";
    return body;
}

void BM_Pop3FetchAndDelete(benchmark::State& state)
{
    test_support::DovecotServer server;
    const std::string body = bodyOf(kMessageBytes);
    TmsRemotePOP pop;
    pop.SetWinsockLoaded(true);
    pop.SetServer(server.address());
    pop.UserName = server.user();
    pop.Password = server.password();
    pop.KeepConnected = true;
    std::size_t fetched = 0;
    pop.OnUserMessageSave = [&](TagSocket&, int, std::stringstream& contents) { fetched += contents.str().size(); };
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kFetchCount; ++i)
            server.addMessage("From: a@example.com\nTo: b@example.com\nSubject: Message " + std::to_string(i) +
                              "\nMessage-ID: <" + std::to_string(i) + "@bench>\n\n" + body);
        state.ResumeTiming();
        pop.UpdateInfo();
        for (int i = 0; i < pop.RemoteInfo().Count(); ++i) {
            pop.MarkForRetrieve(i);
            pop.MarkForDelete(i);
        }
        pop.TransferData();
        if (server.messageCount() != 0)
            state.SkipWithError("messages left on the server");
    }
    state.counters["messages_per_s"] = benchmark::Counter(kFetchCount, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes_per_s"] =
        benchmark::Counter(static_cast<double>(fetched), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Pop3FetchAndDelete)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_SmtpSend(benchmark::State& state)
{
    test_support::SmtpServer server;
    TmsMessage message;
    message.Sender().SetAddress("sender@example.com");
    message.Recipients().AddAddress("to@example.com", "");
    message.SetSubject("Benchmark");
    std::string body = bodyOf(kMessageBytes);
    for (std::size_t start = 0; start < body.size();) {
        std::size_t end = body.find('\n', start);
        message.Body().push_back(body.substr(start, end - start));
        start = end + 1;
    }
    TmsSMTP smtp;
    smtp.SetWinsockLoaded(true);
    smtp.SetServer(server.address());
    smtp.SetMailMessage(&message);
    std::size_t sent = 0;
    for (auto _ : state) {
        for (int i = 0; i < kSendCount; ++i)
            smtp.SendMail();
        sent += kSendCount;
        state.PauseTiming();
        if (!server.waitForMessages(sent))
            state.SkipWithError("the server did not receive every message");
        state.ResumeTiming();
    }
    state.counters["messages_per_s"] = benchmark::Counter(kSendCount, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SmtpSend)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
