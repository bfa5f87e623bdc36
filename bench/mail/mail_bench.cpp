// Speed of loading and saving mail files: a typical 100 KB multipart message
// and a 10 MB message with one base64 attachment (throughput and peak memory).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "mail/message.h"

namespace {

std::string randomBytes(std::size_t size)
{
    std::mt19937 gen(42);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out(size, '\0');
    for (char& ch : out)
        ch = static_cast<char>(byte(gen));
    return out;
}

std::string proseText(std::size_t size)
{
    static const char* words[] = {"the ", "figures ", "of ", "this ", "week ", "are ", "in ", "caf\xE9 ",
                                  "report ", "attached\r\n"};
    std::string out;
    for (std::size_t i = 0; out.size() < size; ++i)
        out += words[(i * 7) % 10];
    return out;
}

void fillMessage(TmsMessage& message, std::size_t binarySize, std::size_t textAttachmentSize)
{
    message.Sender().SetName("Ann Lee");
    message.Sender().SetAddress("ann@example.org");
    message.Recipients().AddAddress("bob@example.org", "Bob Stone");
    message.SetSubject("Figures of the week");
    for (int i = 0; i < 300; ++i)
        message.Body().push_back("Line " + std::to_string(i) + " of the text part, long enough to look real.");
    auto binary = std::make_unique<TmsAttItem>();
    binary->SetFileName("data.bin");
    binary->Contents() = randomBytes(binarySize);
    message.Attachments().Add(std::move(binary));
    if (textAttachmentSize > 0) {
        auto text = std::make_unique<TmsAttItem>();
        text->SetFileName("notes.txt");
        text->Contents() = proseText(textAttachmentSize);
        message.Attachments().Add(std::move(text));
    }
}

const std::string& mailText(bool large)
{
    static std::string small;
    static std::string big;
    std::string& text = large ? big : small;
    if (text.empty()) {
        TmsMessage message;
        if (large)
            fillMessage(message, 10 * 1024 * 1024, 0);
        else
            fillMessage(message, 40 * 1024, 30 * 1024);
        text = message.SaveToString();
    }
    return text;
}

void reportPeakMemory(benchmark::State& state)
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A line of /proc/self/status in kB ("VmRSS", "VmHWM"); -1 when unreadable.
long statusKB(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::atol(line.c_str() + key.size() + 1);
    return -1;
}

// The process peak above also counts building the test message; this one
// counts only what loading or saving adds: the peak is reset first.
struct OwnPeak {
    long baseKB = -1;
    OwnPeak()
    {
        std::ofstream("/proc/self/clear_refs") << "5";
        baseKB = statusKB("VmRSS");
    }
    void report(benchmark::State& state, std::size_t messageBytes) const
    {
        const long peakKB = statusKB("VmHWM");
        if (baseKB < 0 || peakKB < 0)
            return;
        const double addedMB = static_cast<double>(peakKB - baseKB) / 1024.0;
        state.counters["added_peak_MB"] = addedMB;
        state.counters["added_peak_per_message"] = addedMB * 1024.0 * 1024.0 / static_cast<double>(messageBytes);
    }
};

void loadMail(benchmark::State& state, bool large)
{
    const std::string& text = mailText(large);
    const OwnPeak peak;
    for (auto _ : state) {
        TmsMessage message;
        message.LoadFromString(text);
        benchmark::DoNotOptimize(message.Attachments().Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    if (large) {
        reportPeakMemory(state);
        peak.report(state, text.size());
    }
}

void saveMail(benchmark::State& state, bool large)
{
    TmsMessage message;
    message.LoadFromString(mailText(large));
    std::size_t size = 0;
    const OwnPeak peak;
    for (auto _ : state) {
        std::string text = message.SaveToString();
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
    if (large) {
        reportPeakMemory(state);
        peak.report(state, size);
    }
}

// A Subject of 100,000 encoded words that never close (700 KB): a reader that
// searched the rest of the value once per word would stall for minutes.
void BM_LoadUnclosedEncodedWords(benchmark::State& state)
{
    std::string text = "From: a@host\r\nSubject: ";
    for (int i = 0; i < 100000; ++i)
        text += "=?a?q?x";
    text += "\r\n\r\nbody\r\n";
    for (auto _ : state) {
        TmsMessage message;
        message.LoadFromString(text);
        benchmark::DoNotOptimize(message.Subject().size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_Load100KMultipart(benchmark::State& state) { loadMail(state, false); }
void BM_Save100KMultipart(benchmark::State& state) { saveMail(state, false); }
void BM_Load10MBase64(benchmark::State& state) { loadMail(state, true); }
void BM_Save10MBase64(benchmark::State& state) { saveMail(state, true); }

BENCHMARK(BM_Load100KMultipart);
BENCHMARK(BM_Save100KMultipart);
BENCHMARK(BM_Load10MBase64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save10MBase64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadUnclosedEncodedWords)->Unit(benchmark::kMillisecond);

}  // namespace
