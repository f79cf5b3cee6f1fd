#include "run_cli.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "command_line.h"
#include "exit_codes.h"
#include "help_text.h"
#include "host_buffers.h"
#include "library_loader.h"
#include "list_texts.h"
#include "retry_outbox.h"
#include "subcommands.h"
#include "zorva_exports.h"

namespace zorva_cli {

namespace {

std::optional<std::string> variable(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

// The note text of a file, with CR LF line ends made LF as a text-mode read
// would: SENDMAIL turns every CR into LF, which would double them.
bool read_note_text(const std::string &path, std::string *text, std::string *error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read the note text file \"" + path + "\"";
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        *error = "cannot read the note text file \"" + path + "\"";
        return false;
    }
    if (bytes.find('\0') != std::string::npos) {
        *error = "the note text file \"" + path +
                 "\" contains a zero byte; the library takes zero-terminated text";
        return false;
    }
    text->clear();
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        *text += bytes[i];
    }
    return true;
}

bool send_arguments(const CommandLine &command, SendArguments *arguments, std::string *error)
{
    if (!recipient_list_text(command.recipients, &arguments->recipients, error) ||
        !attachment_list_text(command.attachments, &arguments->attachments, error)) {
        return false;
    }
    arguments->subject = command.subject;
    if (command.text_file) {
        return read_note_text(*command.text_file, &arguments->note_text, error);
    }
    arguments->note_text = command.text.value_or("");
    return true;
}

bool message_id_fits(const CommandLine &command, std::string *error)
{
    if (command.after.size() >= kMessageIdBufferSize) {
        *error = "--after: a message ID has at most " + std::to_string(kMessageIdBufferSize - 1) +
                 " characters";
        return false;
    }
    return true;
}

int refuse(std::FILE *err, const std::string &error)
{
    std::fprintf(err, "zorva-mail: %s\nTry zorva-mail --help.\n", error.c_str());
    return kExitUsage;
}

int run_registry(const CommandLine &command, const CliSettings &settings, std::FILE *out,
                 std::FILE *err)
{
    RegistryOutcome outcome;
    if (command.subcommand == Subcommand::Register) {
        std::string provider = command.provider_path.value_or(
            path_in_folder(program_folder(), kProviderFileName));
        outcome = register_mail_client(settings.mail_clients, kMailClientName, provider);
    } else {
        outcome = unregister_mail_client(settings.mail_clients, kMailClientName);
    }
    if (!outcome.done) {
        std::fprintf(err, "zorva-mail: %s: %s\n", subcommand_name(command.subcommand),
                     outcome.message.c_str());
        return kExitExportFailed;
    }
    std::fprintf(out, "%s\n", outcome.message.c_str());
    return kExitSuccess;
}

} // namespace

CliSettings CliSettings::from_environment()
{
    CliSettings settings;
    settings.library = variable("ZORVA_MAPI_LIBRARY");
    settings.profile = variable("ZORVA_MAIL_PROFILE");
    settings.password = variable("ZORVA_MAIL_PASSWORD");
    return settings;
}

int run_cli(const std::vector<std::string> &args, const CliSettings &settings, std::FILE *out,
            std::FILE *err)
{
    CommandLine command;
    std::string error;
    if (!parse_command_line(args, &command, &error)) {
        return refuse(err, error);
    }
    switch (command.subcommand) {
    case Subcommand::Help:
        std::fputs(help_text(command.help_topic).c_str(), out);
        return kExitSuccess;
    case Subcommand::Register:
    case Subcommand::Unregister:
        return run_registry(command, settings, out, err);
    case Subcommand::Retry:
        return run_retry(command.provider_path.value_or(path_in_folder(program_folder(), kProviderLibraryFileName)),
                         command.profile ? *command.profile : settings.profile.value_or(""),
                         command.password ? *command.password : settings.password.value_or(""),
                         command.resend_unconfirmed, out, err);
    default:
        break;
    }

    // Everything the host passes is made before the library is loaded, so a
    // refused argument loads nothing and sends nothing.
    SendArguments send;
    std::string initial_recipients;
    if (command.subcommand == Subcommand::Send && !send_arguments(command, &send, &error)) {
        return refuse(err, error);
    }
    if (command.subcommand == Subcommand::AddressBook &&
        !recipient_list_text(command.recipients, &initial_recipients, &error)) {
        return refuse(err, error);
    }
    if (!message_id_fits(command, &error)) {
        return refuse(err, error);
    }

    std::string path = command.library ? *command.library
                       : settings.library ? *settings.library
                                          : path_in_folder(program_folder(), kLibraryFileName);
    ZorvaExports exports;
    if (!load_zorva_exports(path, &exports, &error)) {
        std::fprintf(err,
                     "zorva-mail: cannot use %s: %s\n"
                     "Put %s beside zorva-mail, or name it with --library or ZORVA_MAPI_LIBRARY.\n",
                     path.c_str(), error.c_str(), kLibraryFileName);
        return kExitNoLibrary;
    }

    MailCall call{exports, command.profile ? *command.profile : settings.profile.value_or(""),
                  command.password ? *command.password : settings.password.value_or(""), out};
    int status = kExitSuccess;
    switch (command.subcommand) {
    case Subcommand::Send:
        status = run_send(call, send);
        break;
    case Subcommand::Inbox:
        status = run_inbox(call);
        break;
    case Subcommand::Get:
        status = run_get(call, command);
        break;
    case Subcommand::Update:
        status = run_update(call, command);
        break;
    case Subcommand::Delete:
        status = run_delete(call, command);
        break;
    case Subcommand::AddressBook:
        status = run_address_book(call, initial_recipients);
        break;
    case Subcommand::Version:
        status = run_version(call);
        break;
    default:
        break;
    }
    std::fflush(out);
    unload_zorva_exports(&exports);
    return status;
}

} // namespace zorva_cli
