#include "agents/merge/merge_codes.h"

#include "agents/merge/merge_code_line.h"
#include "agents/merge/merge_values.h"

namespace merge {
namespace {

std::optional<MergeCommand> readCommand(const MergeCodeSpan& span, const MergeContext& context)
{
    logStep(context, span.inner);
    auto code = splitMergeCode(span.inner);
    if (code)
        logStep(context, "Merge Template the command is: " + code->command + " the param is: " + code->parameter);
    return code;
}

std::string bodyCodeValue(const MergeCommand& code, const TmsMessage& incoming,
                          const MergeContext& context)
{
    const std::string command = upperAscii(code.command);
    if (command == "REPLYHEADER")
        return replyHeaderValue(incoming, code.parameter);
    if (command == "REPLYFIELD")
        return replyFieldValue(incoming, code.parameter).value;
    if (command == "SYSTEM")
        return systemValue(code.parameter, context);
    return {};  // EXPRESSION, SCRIPTCOMMAND, SCRIPT and unknown commands
}

void expandBodyLine(std::string& line, const TmsMessage& incoming, const MergeContext& context)
{
    const auto span = findMergeCode(line);
    if (!span)
        return;
    std::string value;
    if (const auto code = readCommand(*span, context)) {
        value = bodyCodeValue(*code, incoming, context);
        logStep(context, "the result of the SYSTEM merge code was  " + value);
    }
    line = replaceMergeCode(line, *span, value);
    logStep(context, "the newline reads  " + line);
}

// Only REPLYFIELD is evaluated in header lines, and a line is rewritten only
// once a "To:" line has set the override.
void expandHeaderLine(std::string& line, const TmsMessage& incoming, std::string& toOverride,
                      const MergeContext& context)
{
    const auto span = findMergeCode(line);
    if (!span)
        return;
    std::string value;
    if (const auto code = readCommand(*span, context)) {
        if (upperAscii(code->command) == "REPLYFIELD") {
            const ReplyField field = replyFieldValue(incoming, code->parameter);
            value = field.value;
            if (field.matched && upperAscii(line.substr(0, 3)) == "TO:")
                toOverride = value;
        }
        logStep(context, "the result of the REPLYFIELD merge code was  " + value);
    }
    if (toOverride.empty())
        return;
    line = replaceMergeCode(line, *span, value);
    logStep(context, "the newline reads  " + line);
}

}  // namespace

void expandMergeCodes(TmsMessage& outgoing, const TmsMessage& incoming, std::string& toOverride,
                      const MergeContext& context)
{
    toOverride.clear();
    for (std::string& line : outgoing.Body())
        expandBodyLine(line, incoming, context);
    for (std::string& line : outgoing.Headers().lines())
        expandHeaderLine(line, incoming, toOverride, context);
}

}  // namespace merge

void ProccessMergeCodes(TmsMessage& outgoing, const TmsMessage& incoming, std::string& toOverride,
                        const merge::MergeAccount& account, const merge::MergeLog& log)
{
    merge::MergeContext context;
    context.variant = merge::MergeVariant::Processor;
    context.account = account;
    context.log = log;
    merge::expandMergeCodes(outgoing, incoming, toOverride, context);
}

void ExpandMergeCodes(TmsMessage& templateMessage, const TmsMessage& source, std::string& toOverride,
                      const merge::MergeLog& log)
{
    merge::MergeContext context;
    context.variant = merge::MergeVariant::Preview;
    context.log = log;
    merge::expandMergeCodes(templateMessage, source, toOverride, context);
}
