// One postp pass (the real program, single-pass mode) over 1,000 waiting
// messages of 20 KB on the test Dovecot, with an "all messages" restriction
// that fetches and deletes: messages per second and postp's peak memory.
#include "fixtures/postp_home.h"
#include "mail/message.h"
#include "mail/net/pop3_client.h"
#include "platform/files.h"
#include "retriever/core/mail_pass.h"
#include "store/data_folder.h"
#include "store/folder_tree.h"
#include "store/table_objects.h"
#include "tables/apollo_env.h"
#include "tables/table.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/temp_dir.h"
#include "xbase/sx.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

namespace {

constexpr int kMessages = 1000;
constexpr std::size_t kMessageBytes = 20 * 1024;

std::string message(int n)
{
    std::string text = "From: bench@example.org\r\nTo: desk@example.org\r\nMessage-ID: <bench" + std::to_string(n) +
                       "@example.org>\r\nDate: Tue, 08 Dec 2026 09:30:00 +0100\r\nSubject: message " +
                       std::to_string(n) + "\r\n\r\n";
    const std::string line = std::string(76, 'b') + "\r\n";
    while (text.size() < kMessageBytes)
        text += line;
    return text;
}

void BM_PostpPass(benchmark::State& state)
{
    if (!test_support::DovecotServer::available()) {
        state.SkipWithError("dovecot is not installed");
        return;
    }
    test_support::DovecotServer server;
    long peakKb = 0;
    double seconds = 0;
    for (auto _ : state) {
        server.clearMailbox();
        for (int n = 0; n < kMessages; ++n)
            server.addMessage(message(n));
        retriever_test::PostpHome home(TARSEL_MKDATA, TARSEL_POSTP);
        home.addAccount({.id = "bench", .name = "Bench", .popAddress = server.address()});
        home.addRule({"bench", "Control Restriction", "A", "", "", "Y", "Y"});

        const retriever_test::PostpExit run = home.runSinglePass();

        if (!run.exited || run.status != 0 || home.pendingFiles("bench").size() != kMessages ||
            server.messageCount() != 0) {
            state.SkipWithError("the pass did not fetch and delete every message");
            return;
        }
        state.SetIterationTime(run.seconds);
        seconds += run.seconds;
        peakKb = std::max(peakKb, run.peakRssKb);
    }
    state.counters["messages_per_second"] =
        benchmark::Counter(static_cast<double>(kMessages) * static_cast<double>(state.iterations()) / seconds);
    state.counters["peak_rss_kb"] = static_cast<double>(peakKb);
}
BENCHMARK(BM_PostpPass)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);

// The status window's part left out: log lines and labels go nowhere.
class QuietHost : public retriever::PassHost {
public:
    void SendtoLog(const std::string&) override {}
    void AppException(const std::exception& error) override { errors.push_back(error.what()); }
    void ShowCurrentNode(const std::string&) override {}
    void ShowCurrentAction(const std::string&) override {}
    void ShowProgressMax(int) override {}
    void ShowProgress(int) override {}
    void ShowScanPasses(int) override {}
    bool ProcessingEnabled() const override { return true; }
    void EnableTimer() override {}
    std::vector<std::string> errors;
};

void BM_PassInProcess(benchmark::State& state)
{
    if (!test_support::DovecotServer::available()) {
        state.SkipWithError("dovecot is not installed");
        return;
    }
    test_support::DovecotServer server;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        server.clearMailbox();
        for (int n = 0; n < kMessages; ++n)
            server.addMessage(message(n));
        test_support::TempDir dir("rb");
        store::CreateDataFolder(dir.path() + "/data/", false);
        TApolloEnv env;
        env.SetDeleted(true);
        store::TableSet tables(store::RetrieverTableObjects());
        tables.SetDatabaseFolder(dir.path() + "/data/");
        tables.Open(store::RetrieverOpenOrder());
        TTable& nodes = tables.Table("TableNodes");
        nodes.Append();
        nodes.FieldByName("UNIQUE_ID").SetAsString("bench");
        nodes.FieldByName("POPADDRESS").SetAsString(server.address());
        nodes.FieldByName("LOGIN").SetAsString(server.user());
        nodes.FieldByName("PASSWORD").SetAsString(server.password());
        nodes.FieldByName("NEXTDATE").SetAsString("01/01/01");
        nodes.FieldByName("NEXTTIME").SetAsString("00:00");
        nodes.FieldByName("FREQVAL").SetAsString("10");
        nodes.Post();
        TTable& rules = tables.Table("TableRules");
        rules.Append();
        rules.FieldByName("LINK_ID").SetAsString("bench");
        rules.FieldByName("RULE").SetAsString("All");
        rules.FieldByName("COND").SetAsString("A");
        rules.FieldByName("ACT1").SetAsString("Y");
        rules.FieldByName("ACT2").SetAsString("Y");
        rules.Post();
        TmsRemotePOP pop;
        pop.SetWinsockLoaded(true);
        TmsMessage temp;
        QuietHost host;
        retriever::MailPass pass(host,
                                 {nodes, rules, tables.Table("TableReceived"), tables.Apollo("ApolloReceived")},
                                 pop, temp);
        pass.SetMessagesFolder(dir.path() + "/messages/");
        state.ResumeTiming();

        const auto started = std::chrono::steady_clock::now();
        pass.ProcessMail();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

        state.PauseTiming();
        const auto files = platform::FindFiles(store::PendingFolder(dir.path() + "/messages/", "bench"), "*.eml");
        if (!host.errors.empty() || files.size() != kMessages || server.messageCount() != 0)
            state.SkipWithError("the pass did not fetch and delete every message");
        tables.CloseAll();
        sx_SetDeleted(0);
        state.ResumeTiming();
    }
    state.counters["messages_per_second"] =
        benchmark::Counter(static_cast<double>(kMessages) * static_cast<double>(state.iterations()) / seconds);
}
BENCHMARK(BM_PassInProcess)->Iterations(3)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
