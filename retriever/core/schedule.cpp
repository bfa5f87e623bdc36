#include "retriever/core/schedule.h"

#include "retriever/core/conversion.h"
#include "tables/table.h"

namespace retriever {

namespace {
constexpr double kMinutesPerDay = 1440.0;
}

TDateTime DueTime(TTable& nodes)
{
    return DateAndTime(nodes.FieldByName("NEXTDATE").AsString(), nodes.FieldByName("NEXTTIME").AsString());
}

long long PollInterval(TTable& nodes) { return WholeNumber(nodes.FieldByName("FREQVAL").AsString()); }

TDateTime NextPollTime(TDateTime now, long long minutes)
{
    return now + static_cast<double>(minutes) / kMinutesPerDay;
}

void WriteSchedule(TTable& nodes, TDateTime now, TDateTime next)
{
    nodes.Edit();
    try {
        nodes.FieldByName("LASTDATE").SetAsString(platform::FormatDateTime("mm/dd/yy", now));
        nodes.FieldByName("LASTTIME").SetAsString(platform::FormatDateTime("hh:mm", now));
        nodes.FieldByName("NEXTDATE").SetAsString(platform::FormatDateTime("mm/dd/yy", next));
        nodes.FieldByName("NEXTTIME").SetAsString(platform::FormatDateTime("hh:mm", next));
        nodes.Post();
    } catch (...) {
        if (nodes.State() == dsEdit)
            nodes.Cancel();
        throw;
    }
}

}  // namespace retriever
