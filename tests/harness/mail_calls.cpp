#include "mail_calls.h"

#include <functional>

#include "provider_fixture.h"

namespace {

struct Counts {
    int loads = tp_loads();
    int unloads = tp_unloads();
    int logons = tp_call_count("MAPILogon");
    int logoffs = tp_call_count("MAPILogoff");
    int buffers = tp_buffers_outstanding();
};

MailCallResult counted_call(const std::function<int()> &call)
{
    Counts before;
    CallResult captured = call_capturing(call);
    Counts after;
    MailCallResult outcome;
    outcome.result = captured.result;
    outcome.printed = captured.printed;
    outcome.buffers_left = after.buffers - before.buffers;
    int loads = after.loads - before.loads, unloads = after.unloads - before.unloads;
    int logons = after.logons - before.logons, logoffs = after.logoffs - before.logoffs;
    if (loads != 1 || unloads != 1 || logons != 1 || logoffs != 1 || tp_sessions_open() != 0) {
        outcome.unbalanced = "loads " + std::to_string(loads) + ", unloads " +
                             std::to_string(unloads) + ", logons " + std::to_string(logons) +
                             ", logoffs " + std::to_string(logoffs) + ", sessions open " +
                             std::to_string(tp_sessions_open());
    }
    return outcome;
}

} // namespace

MailCallResult getmail(HostMailBuffers &buffers, const GetMailArgs &args)
{
    HostText profile("profile"), password("secret"), ignored(""), mode(args.mode),
        unread(args.unread_only), subject(args.new_subject);
    return counted_call([&] {
        return zorva().GETMAIL(buffers.id.get(), profile.get(), password.get(), ignored.get(),
                               buffers.report.get(), ignored.get(), mode.get(), unread.get(),
                               subject.get());
    });
}

MailCallResult inbox()
{
    HostText profile("profile"), password("secret");
    return counted_call([&] { return zorva().INBOX(profile.get(), password.get()); });
}
