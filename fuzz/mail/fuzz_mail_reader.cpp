// Any bytes load as a message without an exception, and a message that
// loaded saves and loads again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

#include "mail/article.h"
#include "mail/message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    try {
        TmsMessage message;
        message.LoadFromString(source);
        const std::string saved = message.SaveToString();
        TmsMessage again;
        again.LoadFromString(saved);
        again.SaveToString();

        TmsArticle article;
        article.LoadFromString(source);
        article.SaveToString();
    } catch (const std::bad_alloc&) {
        // Out of memory is not a fault of the reader.
    } catch (...) {
        std::abort();
    }
    return 0;
}
