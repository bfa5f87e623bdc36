// Speed of loading and saving mail files: a typical 100 KB multipart message,
// a 10 MB message with one base64 attachment (throughput and peak memory),
// and 100 KB of mail in other charsets made UTF-8.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "mail/attachments.h"
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

std::string htmlPage(std::size_t size)
{
    std::string out = "<html><head><title>Figures</title></head><body>\r\n";
    for (int i = 0; out.size() < size; ++i)
        out += "<p class=\"row\">Line " + std::to_string(i) +
               " of the <b>HTML</b> part &amp; its caf\xE9 figures, long enough to look real.</p>\r\n";
    return out + "</body></html>\r\n";
}

void addAttachment(TmsMessage& message, const std::string& name, std::string contents)
{
    auto item = std::make_unique<TmsAttItem>();
    item->SetFileName(name);
    item->Contents() = std::move(contents);
    message.Attachments().Add(std::move(item));
}

void fillHeaders(TmsMessage& message)
{
    message.Sender().SetName("Ann Lee");
    message.Sender().SetAddress("ann@example.org");
    message.Recipients().AddAddress("bob@example.org", "Bob Stone");
    message.SetSubject("Figures of the week");
}

// About 100 KB: a text part and its HTML alternative, then two binary files.
void fillMultipart(TmsMessage& message)
{
    fillHeaders(message);
    for (int i = 0; i < 120; ++i)
        message.Body().push_back("Line " + std::to_string(i) + " of the text part, long enough to look real.");
    auto html = std::make_unique<TmsAttItem>();
    html->SetFileName("_alt.0");
    html->SetContentType("text/html");
    html->SetEncoding(mail::AttEncoding::QuotedPrintable);
    html->Contents() = htmlPage(18 * 1024);
    message.Attachments().Add(std::move(html));
    addAttachment(message, "report.pdf", randomBytes(30 * 1024));
    addAttachment(message, "photo.jpg", randomBytes(24 * 1024));
}

// About 10 MB: a short text and one base64 attachment.
void fillLarge(TmsMessage& message)
{
    fillHeaders(message);
    message.Body().push_back("The data of the week is attached.");
    addAttachment(message, "data.bin", randomBytes(7 * 1024 * 1024 + 512 * 1024));
}

const std::string& mailText(bool large)
{
    static std::string small;
    static std::string big;
    std::string& text = large ? big : small;
    if (text.empty()) {
        TmsMessage message;
        if (large)
            fillLarge(message);
        else
            fillMultipart(message);
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
// counts only what loading or saving adds: the peak is reset first, and
// memory the allocator still holds from before is handed back, so reusing
// it counts as added too.
struct OwnPeak {
    long baseKB = -1;
    OwnPeak()
    {
        ::malloc_trim(0);
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
    state.counters["message_KB"] = static_cast<double>(text.size()) / 1024.0;
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
    state.counters["message_KB"] = static_cast<double>(size) / 1024.0;
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

// About 100 KB of mail in other charsets than UTF-8: 60 header fields of
// encoded words in five charsets and a Latin-1 quoted-printable text, read
// into UTF-8 and written again as UTF-8 with ASCII header lines.
const std::string& charsetMailText()
{
    static std::string text;
    if (!text.empty())
        return text;
    const char* const words[] = {"=?iso-8859-1?q?Gr=FC=DFe_aus_K=F6ln?=", "=?koi8-r?B?8NLJ18XU?=",
                                 "=?windows-1252?q?=93Preis=94_=805?=", "=?iso-8859-2?q?=A3=F3d=BC?=",
                                 "=?utf-8?b?w4RraWxsZSBTw7hyZW5zZW4=?="};
    text = "From: =?iso-8859-1?q?Andr=E9_M=FCller?= <am@example.org>\r\nTo: desk@example.org\r\n"
           "Subject: =?koi8-r?B?8NLJ18XU?=\r\n";
    for (int i = 0; i < 60; ++i)
        text += "X-Note-" + std::to_string(i) + ": " + words[i % 5] + " and " + words[(i + 1) % 5] + "\r\n";
    text += "Mime-Version: 1.0\r\nContent-Type: text/plain; charset=\"iso-8859-1\"\r\n"
            "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
    while (text.size() < 100 * 1024)
        text += "Viele Gr=FC=DFe aus K=F6ln, Stra=DFe der M=FChlen, ein Caf=E9 am Platz.\r\n";
    return text;
}

void BM_LoadAndSaveCharsetMail(benchmark::State& state)
{
    const std::string& text = charsetMailText();
    for (auto _ : state) {
        TmsMessage message;
        message.LoadFromString(text);
        std::string saved = message.SaveToString();
        benchmark::DoNotOptimize(saved.data());
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
BENCHMARK(BM_LoadAndSaveCharsetMail);

}  // namespace
