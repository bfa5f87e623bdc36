// The agent pass alone, without the program's window and log: 1,000
// pending messages through two agents whose triggers do not fire, filed
// into a fresh data folder.
#include "agents/core/agent_pass.h"
#include "platform/files.h"
#include "store/data_folder.h"
#include "store/folder_tree.h"
#include "store/table_objects.h"
#include "tables/apollo_env.h"
#include "tables/table.h"
#include "tests/support/temp_dir.h"
#include "xbase/sx.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

class QuietHost : public agents::AgentHost {
public:
    void SendtoLog(const std::string&, int) override {}
    void ShowScanPasses(const std::string&) override {}
};

std::string message(int n)
{
    std::string text = "From: Bench Sender <bench@example.org>\r\nTo: desk@example.org\r\nMessage-ID: <bench" +
                       std::to_string(n) + "@example.org>\r\nDate: Tue, 08 Dec 2026 09:30:00 +0100\r\nSubject: message " +
                       std::to_string(n) + "\r\n\r\n";
    for (int i = 0; i < 40; ++i)
        text += std::string(76, 'b') + "\r\n";
    return text;
}

void append(TTable& table, const std::vector<std::pair<const char*, std::string>>& fields)
{
    table.Append();
    for (const auto& [name, value] : fields)
        table.FieldByName(name).SetAsString(value);
    table.Post();
}

void BM_AgentPassCore(benchmark::State& state)
{
    constexpr int kMessages = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        test_support::TempDir dir("bench");
        const std::string data = dir.path() + "/data/", messages = dir.path() + "/messages/",
                          agentsFolder = dir.path() + "/agents/";
        store::CreateDataFolder(data, false);
        platform::ForceDirectories(agentsFolder);
        auto env = std::make_unique<TApolloEnv>();
        env->SetDeleted(true);
        store::TableSet tables(store::AgentProcessorTableObjects());
        tables.SetDatabaseFolder(data);
        tables.Open(store::AgentProcessorOpenOrder());
        append(tables.Table("TableANodes"), {{"UNIQUE_ID", "bench"}, {"NODE", "Bench"}, {"ADDRESS", "d@x"}});
        tables.Table("TableANodes").First();
        append(tables.Table("TableAgents"), {{"UNIQUE_ID", "a1"}, {"LINK_ID", "bench"}, {"AGENT", "Urgent"}});
        append(tables.Table("TableAgents"), {{"UNIQUE_ID", "a2"}, {"LINK_ID", "bench"}, {"AGENT", "Orders"}});
        store::WriteAgentFile(store::AgentFilePath(agentsFolder, "Urgent"), "MESSAGE",
                              {{"Subject", "contains", "urgent"}}, {{"PLAY SOUND", "alarm.wav", ""}}, platform::Now());
        store::WriteAgentFile(store::AgentFilePath(agentsFolder, "Orders"), "MESSAGE",
                              {{"<Body>", "contains", "ORDER="}}, {{"FORWARD TO", "o@x", ""}}, platform::Now());
        const std::string pending = store::PendingFolder(messages, "bench");
        platform::ForceDirectories(pending);
        for (int n = 0; n < kMessages; ++n)
            platform::WriteFileAtomic(pending + "m" + std::to_string(n) + ".eml", message(n));
        QuietHost host;
        agents::AgentPass pass(host, {tables.Table("TableANodes"), tables.Table("TableAgents"),
                                      tables.Table("TableAReceived"), tables.Apollo("ApolloAReceived"),
                                      tables.Table("TableAPending"), tables.Apollo("ApolloAPending"),
                                      tables.Table("TableActions")});
        pass.SetFolders(messages, agentsFolder, dir.path() + "/");
        state.ResumeTiming();

        pass.AgentsMain();

        state.PauseTiming();
        if (!platform::FindFiles(pending, "*.eml").empty())
            state.SkipWithError("not every message was filed");
        tables.CloseAll();
        sx_SetDeleted(0);
        state.ResumeTiming();
    }
    state.counters["messages_per_second"] =
        benchmark::Counter(static_cast<double>(kMessages) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AgentPassCore)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
