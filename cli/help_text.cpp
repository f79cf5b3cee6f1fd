#include "help_text.h"

#include <cstdio>

namespace zorva_cli {

namespace {

struct SubcommandHelp {
    Subcommand subcommand;
    const char *calls;
    const char *summary;
    const char *details;
};

const char kUsage[] =
    "zorva-mail: calls the exports of zorva_mapi.dll by hand, one command each.\n"
    "\n"
    "Usage: zorva-mail [--profile NAME] [--password TEXT] [--library PATH] COMMAND [options]\n";

const SubcommandHelp kSubcommands[] = {
    {Subcommand::Send, "SENDMAIL", "send one message",
     "zorva-mail send [--to R]... [--cc R]... [--bcc R]... [--subject TEXT]\n"
     "                [--text TEXT | --text-file PATH] [--attach PATH]...\n"
     "    Sends one message without a dialog. R is \"Name <address>\", \"<address>\"\n"
     "    or a bare address (which is then also the name). The recipients become the\n"
     "    list TO|name|address|CC|name|address..., the attachments path|path; none\n"
     "    gives \"NULL\". --text-file reads the note text from a file, CR LF line ends\n"
     "    made LF. Refused: an item containing \"|\", an item longer than 79 characters,\n"
     "    more than 26 recipients or 80 attachments.\n"},
    {Subcommand::Inbox, "INBOX", "list the inbox",
     "zorva-mail inbox\n"
     "    Lists every message, one line each: ID, date received, subject.\n"},
    {Subcommand::Get, "GETMAIL", "report a message, peeking or marking it read",
     "zorva-mail get [--peek | --mark] [--unread-only] [--after ID] [--all]\n"
     "    Reports the first message, or the one after ID, and prints its ID.\n"
     "    --peek: mode \"P\" (the default), the message stays unread.\n"
     "    --mark: mode \"M\", the mail system marks it read.\n"
     "    --unread-only: switch \"U\", only unread messages count.\n"
     "    --all: walks the whole inbox, passing each ID to the next call (with\n"
     "    --mark --unread-only, \"NULL\" each time, as each read takes its message out).\n"},
    {Subcommand::Update, "GETMAIL", "rewrite a message's subject (mode \"U\")",
     "zorva-mail update [--after ID] [--unread-only] NEW-SUBJECT\n"
     "    Rewrites the subject of the first message, or of the one after ID.\n"},
    {Subcommand::Delete, "GETMAIL", "delete a message (mode \"D\")",
     "zorva-mail delete [--after ID] [--unread-only]\n"
     "    Deletes the first message, or the one after ID.\n"},
    {Subcommand::AddressBook, "ADDRESSBOOK", "choose recipients in the address book",
     "zorva-mail addressbook [--to R]... [--cc R]... [--bcc R]...\n"
     "    Opens the mail system's address book on these initial recipients (\"NULL\"\n"
     "    for none) and prints the recipients chosen, as list text and one a line.\n"},
    {Subcommand::Version, "mapi_version", "print the library's version text",
     "zorva-mail version\n"
     "    Prints the 20-byte version text.\n"},
    {Subcommand::Register, "(registry)", "make a provider the mail client (Windows)",
     "zorva-mail register [PROVIDER-DLL]\n"
     "    Makes a Simple MAPI provider DLL the machine's mail client, as desktop mail\n"
     "    clients install theirs: HKLM\\Software\\Clients\\Mail\\Zorva Mail with DLLPath\n"
     "    and DLLPathEx naming the DLL's full path, and HKLM\\Software\\Clients\\Mail's\n"
     "    default value \"Zorva Mail\". The system's MAPI32.DLL then forwards every\n"
     "    call to it. The previous default is remembered. Without PROVIDER-DLL:\n"
     "    zorva_provider.dll beside zorva-mail.exe.\n"},
    {Subcommand::Unregister, "(registry)", "undo register (Windows)",
     "zorva-mail unregister\n"
     "    Removes HKLM\\Software\\Clients\\Mail\\Zorva Mail and, if it is still the\n"
     "    default, gives the default back to the mail client registered before.\n"},
    {Subcommand::Retry, "(provider)", "send what waits in our provider's outbox",
     "zorva-mail retry [--unconfirmed] [PROVIDER-DLL]\n"
     "    Loads our provider itself (not the library), logs on to the profile and\n"
     "    calls its ZorvaRetryOutbox: every message the SMTP server did not accept\n"
     "    is sent again, and each is reported: delivered, kept (with the server's\n"
     "    words) or unconfirmed (its sending was cut off and the server may have it;\n"
     "    sent again only with --unconfirmed). Without PROVIDER-DLL: zorva_provider.dll\n"
     "    (libzorva_provider.so) beside zorva-mail.\n"},
};

const char kOptions[] =
    "\n"
    "Options of every command:\n"
    "  --profile NAME    the mail system's profile (default: $ZORVA_MAIL_PROFILE, or empty)\n"
    "  --password TEXT   its password (default: $ZORVA_MAIL_PASSWORD, or empty)\n"
    "  --library PATH    the library to load (default: $ZORVA_MAPI_LIBRARY, or the one\n"
    "                    beside zorva-mail)\n"
    "  --help            this text; zorva-mail help COMMAND shows one command\n"
    "\n"
    "zorva-mail prints each call it makes, what the library prints, and the export's\n"
    "result code in words.\n"
    "Exit status: 0 success; 1 the export returned a failure or found no message (or\n"
    "the registry refused); 2 the command line was refused and nothing was called;\n"
    "3 the library could not be loaded.\n";

std::string summary_line(const SubcommandHelp &help)
{
    char line[160];
    std::snprintf(line, sizeof line, "  %-12s %-13s %s\n", subcommand_name(help.subcommand),
                  help.calls, help.summary);
    return line;
}

} // namespace

std::string help_text(std::optional<Subcommand> topic)
{
    for (const SubcommandHelp &help : kSubcommands) {
        if (topic && *topic == help.subcommand) {
            return std::string(subcommand_name(help.subcommand)) + " calls " + help.calls +
                   ".\n\n" + help.details + kOptions;
        }
    }
    std::string text = std::string(kUsage) + "\n  Command      Calls         What it does\n";
    for (const SubcommandHelp &help : kSubcommands) {
        text += summary_line(help);
    }
    for (const SubcommandHelp &help : kSubcommands) {
        text += "\n" + std::string(help.details);
    }
    return text + kOptions;
}

} // namespace zorva_cli
