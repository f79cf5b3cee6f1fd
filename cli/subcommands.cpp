#include "subcommands.h"

#include <set>

#include "exit_codes.h"
#include "host_buffer.h"
#include "host_buffers.h"
#include "list_texts.h"
#include "result_words.h"

namespace zorva_cli {

namespace {

// GETMAIL's mode words and unread-only switch.
const char *const kModeMark = "M";
const char *const kModeDelete = "D";
const char *const kModeUpdate = "U";
// Any other word peeks.
const char *const kModePeek = "P";
const char *const kUnreadOnlySwitch = "U";

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

std::string shown_password(const std::string &password)
{
    return password.empty() ? "\"\"" : "(" + std::to_string(password.size()) + " characters)";
}

std::string profile_and_password(const MailCall &call)
{
    return "profile " + quoted(call.profile) + ", password " + shown_password(call.password);
}

void print_call(const MailCall &call, const std::string &text)
{
    std::fprintf(call.out, "> %s\n", text.c_str());
    std::fflush(call.out);
}

void print_result(const MailCall &call, Export which, int result)
{
    std::fflush(call.out);
    std::fprintf(call.out, "%s returned %d: %s\n", export_name(which), result,
                 result_in_words(which, result).c_str());
}

int exit_status(int result) { return result == 0 ? kExitSuccess : kExitExportFailed; }

// Reports a buffer the library broke; true when it is intact.
bool check_buffer(const MailCall &call, const HostBuffer &buffer, const char *what)
{
    if (buffer.intact()) {
        return true;
    }
    std::fprintf(call.out,
                 "zorva-mail: the library broke the %zu-byte %s buffer (no zero byte within it, "
                 "or bytes written after it)\n",
                 buffer.size(), what);
    return false;
}

struct GetMailCall {
    const char *mode;
    bool unread_only;
    std::string new_subject;
};

struct GetMailOutcome {
    int result;
    std::string message_id;
    std::string report;
    bool buffers_intact;
};

GetMailOutcome call_getmail(const MailCall &call, const std::string &message_id,
                            const GetMailCall &how)
{
    HostBuffer id(message_id, kMessageIdBufferSize);
    HostBuffer profile(call.profile), password(call.password);
    HostBuffer ignored4(""), ignored6("");
    HostBuffer report("", kReportBufferSize);
    HostBuffer mode(how.mode);
    HostBuffer unread(how.unread_only ? kUnreadOnlySwitch : "");
    HostBuffer new_subject(how.new_subject);
    print_call(call, "GETMAIL(message ID " + quoted(message_id) + ", " +
                         profile_and_password(call) + ", report buffer " +
                         std::to_string(report.size()) + " bytes, mode " + quoted(how.mode) +
                         ", unread-only " + quoted(unread.text()) + ", new subject " +
                         quoted(how.new_subject) + ")");
    int result = call.exports.GETMAIL(id.get(), profile.get(), password.get(), ignored4.get(),
                                      report.get(), ignored6.get(), mode.get(), unread.get(),
                                      new_subject.get());
    print_result(call, Export::GETMAIL, result);
    bool id_intact = check_buffer(call, id, "message ID");
    bool report_intact = check_buffer(call, report, "report");
    bool intact = id_intact && report_intact;
    return GetMailOutcome{result, id.text(), report.text(), intact};
}

void print_report(const MailCall &call, const GetMailOutcome &outcome)
{
    std::fprintf(call.out, "message ID: %s\n%s", outcome.message_id.c_str(),
                 outcome.report.c_str());
    if (outcome.report.empty() || outcome.report.back() != '\n') {
        std::fputc('\n', call.out);
    }
}

// GETMAIL in mode "U" or "D": one call on the first message or the one after --after.
int run_change(const MailCall &call, const CommandLine &command, const GetMailCall &how)
{
    GetMailOutcome outcome = call_getmail(call, command.after, how);
    if (!outcome.buffers_intact) {
        return kExitExportFailed;
    }
    if (outcome.message_id != command.after) {
        std::fprintf(call.out, "zorva-mail: GETMAIL changed the message ID to %s\n",
                     quoted(outcome.message_id).c_str());
    }
    return exit_status(outcome.result);
}

} // namespace

int run_send(const MailCall &call, const SendArguments &arguments)
{
    HostBuffer profile(call.profile), password(call.password);
    HostBuffer recipients(arguments.recipients), subject(arguments.subject);
    HostBuffer note_text(arguments.note_text), attachments(arguments.attachments);
    print_call(call, "SENDMAIL(" + profile_and_password(call) + ", recipients " +
                         quoted(arguments.recipients) + ", subject " + quoted(arguments.subject) +
                         ", note text of " + std::to_string(arguments.note_text.size()) +
                         " bytes, attachments " + quoted(arguments.attachments) + ")");
    int result = call.exports.SENDMAIL(profile.get(), password.get(), recipients.get(),
                                       subject.get(), note_text.get(), attachments.get());
    print_result(call, Export::SENDMAIL, result);
    if (!check_buffer(call, note_text, "note text")) {
        return kExitExportFailed;
    }
    return exit_status(result);
}

int run_inbox(const MailCall &call)
{
    HostBuffer profile(call.profile), password(call.password);
    print_call(call, "INBOX(" + profile_and_password(call) + ")");
    int result = call.exports.INBOX(profile.get(), password.get());
    print_result(call, Export::INBOX, result);
    return exit_status(result);
}

int run_get(const MailCall &call, const CommandLine &command)
{
    GetMailCall how{command.mark ? kModeMark : kModePeek, command.unread_only, ""};
    // Marking unread messages one by one: each read takes its message out
    // of the unread ones, so every call starts from the first again.
    const bool from_start_each_time = command.all && command.mark && command.unread_only;
    std::string message_id = command.after;
    std::set<std::string> seen;
    int reported = 0;
    int failed_reads = 0;
    for (;;) {
        GetMailOutcome outcome = call_getmail(call, message_id, how);
        if (!outcome.buffers_intact) {
            return kExitExportFailed;
        }
        const bool advanced = outcome.message_id != message_id;
        if (outcome.result == 0) {
            print_report(call, outcome);
            ++reported;
        } else if (outcome.result == 1 && advanced) {
            std::fprintf(call.out, "message ID: %s (its read failed)\n",
                         outcome.message_id.c_str());
            ++failed_reads;
        } else if (outcome.result == 1) {
            std::fprintf(call.out, "%s\n",
                         command.all && reported + failed_reads > 0 ? "no further message"
                                                                   : "no message found");
            break;
        } else {
            return kExitExportFailed;
        }
        if (!command.all) {
            return exit_status(outcome.result);
        }
        if (!seen.insert(outcome.message_id).second) {
            std::fprintf(call.out,
                         "zorva-mail: GETMAIL gave message %s a second time; the walk stops here\n",
                         outcome.message_id.c_str());
            return kExitExportFailed;
        }
        message_id = from_start_each_time && outcome.result == 0 ? std::string(kAbsentMarker)
                                                                 : outcome.message_id;
        std::fputc('\n', call.out);
    }
    if (!command.all) {
        return kExitExportFailed;
    }
    std::fprintf(call.out, "walked the inbox: %d message%s reported", reported,
                 reported == 1 ? "" : "s");
    if (failed_reads > 0) {
        std::fprintf(call.out, ", %d read%s failed", failed_reads, failed_reads == 1 ? "" : "s");
    }
    std::fputc('\n', call.out);
    return failed_reads == 0 ? kExitSuccess : kExitExportFailed;
}

int run_update(const MailCall &call, const CommandLine &command)
{
    return run_change(call, command, GetMailCall{kModeUpdate, command.unread_only, command.new_subject});
}

int run_delete(const MailCall &call, const CommandLine &command)
{
    return run_change(call, command, GetMailCall{kModeDelete, command.unread_only, ""});
}

int run_address_book(const MailCall &call, const std::string &initial_recipients)
{
    HostBuffer profile(call.profile), password(call.password);
    HostBuffer initial(initial_recipients);
    HostBuffer chosen("", kRecipientBufferSize);
    print_call(call, "ADDRESSBOOK(" + profile_and_password(call) + ", initial recipients " +
                         quoted(initial_recipients) + ", recipient buffer " +
                         std::to_string(chosen.size()) + " bytes)");
    int result = call.exports.ADDRESSBOOK(profile.get(), password.get(), initial.get(),
                                          chosen.get());
    print_result(call, Export::ADDRESSBOOK, result);
    if (!check_buffer(call, chosen, "recipient")) {
        return kExitExportFailed;
    }
    if (result == 0) {
        std::string text = chosen.text();
        std::fprintf(call.out, "recipients: %s\n", quoted(text).c_str());
        for (const ListedRecipient &r : split_recipient_list(text)) {
            std::fprintf(call.out, "  %-4s %s <%s>\n", r.class_word.c_str(), r.name.c_str(),
                         r.address.c_str());
        }
    }
    return exit_status(result);
}

int run_version(const MailCall &call)
{
    HostBuffer version("", kVersionBufferSize);
    print_call(call, "mapi_version(version buffer " + std::to_string(version.size()) + " bytes)");
    call.exports.mapi_version(version.get());
    if (!check_buffer(call, version, "version")) {
        return kExitExportFailed;
    }
    std::fprintf(call.out, "version: %s\n", version.text().c_str());
    return kExitSuccess;
}

} // namespace zorva_cli
