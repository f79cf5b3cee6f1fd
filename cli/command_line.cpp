#include "command_line.h"

#include <initializer_list>

namespace zorva_cli {

namespace {

struct SubcommandName {
    Subcommand subcommand;
    const char *name;
};

const SubcommandName kSubcommandNames[] = {
    {Subcommand::Help, "help"},
    {Subcommand::Send, "send"},
    {Subcommand::Inbox, "inbox"},
    {Subcommand::Get, "get"},
    {Subcommand::Update, "update"},
    {Subcommand::Delete, "delete"},
    {Subcommand::AddressBook, "addressbook"},
    {Subcommand::Version, "version"},
    {Subcommand::Register, "register"},
    {Subcommand::Unregister, "unregister"},
    {Subcommand::Retry, "retry"},
};

std::optional<Subcommand> subcommand_named(const std::string &name)
{
    for (const SubcommandName &s : kSubcommandNames) {
        if (name == s.name) {
            return s.subcommand;
        }
    }
    return std::nullopt;
}

// Which subcommands take an option; an empty list means every one.
struct OptionRule {
    const char *name;
    bool takes_value;
    std::initializer_list<Subcommand> subcommands;
};

const OptionRule kOptions[] = {
    {"--help", false, {}},
    {"--library", true, {}},
    {"--profile", true, {}},
    {"--password", true, {}},
    {"--to", true, {Subcommand::Send, Subcommand::AddressBook}},
    {"--cc", true, {Subcommand::Send, Subcommand::AddressBook}},
    {"--bcc", true, {Subcommand::Send, Subcommand::AddressBook}},
    {"--subject", true, {Subcommand::Send}},
    {"--text", true, {Subcommand::Send}},
    {"--text-file", true, {Subcommand::Send}},
    {"--attach", true, {Subcommand::Send}},
    {"--peek", false, {Subcommand::Get}},
    {"--mark", false, {Subcommand::Get}},
    {"--all", false, {Subcommand::Get}},
    {"--unread-only", false, {Subcommand::Get, Subcommand::Update, Subcommand::Delete}},
    {"--after", true, {Subcommand::Get, Subcommand::Update, Subcommand::Delete}},
    {"--unconfirmed", false, {Subcommand::Retry}},
};

const OptionRule *option_named(const std::string &name)
{
    for (const OptionRule &rule : kOptions) {
        if (name == rule.name) {
            return &rule;
        }
    }
    return nullptr;
}

bool allowed(const OptionRule &rule, Subcommand subcommand)
{
    if (rule.subcommands.size() == 0) {
        return true;
    }
    for (Subcommand s : rule.subcommands) {
        if (s == subcommand) {
            return true;
        }
    }
    return false;
}

struct GivenOption {
    const OptionRule *rule;
    std::string value;
};

bool take_option(const GivenOption &given, CommandLine *command, bool *peek_given,
                 std::string *error)
{
    const std::string name = given.rule->name;
    const std::string &value = given.value;
    if (name == "--library") {
        command->library = value;
    } else if (name == "--profile") {
        command->profile = value;
    } else if (name == "--password") {
        command->password = value;
    } else if (name == "--to" || name == "--cc" || name == "--bcc") {
        RecipientClass recipient_class = name == "--to"   ? RecipientClass::To
                                         : name == "--cc" ? RecipientClass::Cc
                                                          : RecipientClass::Bcc;
        Recipient recipient;
        if (!parse_recipient(value, recipient_class, &recipient, error)) {
            *error = name + ": " + *error;
            return false;
        }
        command->recipients.push_back(recipient);
    } else if (name == "--subject") {
        command->subject = value;
    } else if (name == "--text") {
        command->text = value;
    } else if (name == "--text-file") {
        command->text_file = value;
    } else if (name == "--attach") {
        command->attachments.push_back(value);
    } else if (name == "--peek") {
        *peek_given = true;
    } else if (name == "--mark") {
        command->mark = true;
    } else if (name == "--all") {
        command->all = true;
    } else if (name == "--unread-only") {
        command->unread_only = true;
    } else if (name == "--after") {
        command->after = value;
    } else if (name == "--unconfirmed") {
        command->resend_unconfirmed = true;
    }
    return true;
}

} // namespace

const char *subcommand_name(Subcommand subcommand)
{
    for (const SubcommandName &s : kSubcommandNames) {
        if (s.subcommand == subcommand) {
            return s.name;
        }
    }
    return "";
}

bool parse_command_line(const std::vector<std::string> &args, CommandLine *command,
                        std::string *error)
{
    *command = CommandLine{};
    command->after = kAbsentMarker;

    // First the options and the words, so that options may stand before
    // or after the subcommand.
    std::vector<GivenOption> options;
    std::vector<std::string> words;
    bool options_ended = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (!options_ended && arg == "-h") {
            options.push_back(GivenOption{option_named("--help"), ""});
            continue;
        }
        if (options_ended || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_ended = true;
            continue;
        }
        size_t equals = arg.find('=');
        std::string name = arg.substr(0, equals);
        const OptionRule *rule = option_named(name);
        if (rule == nullptr) {
            *error = "unknown option " + name;
            return false;
        }
        GivenOption given{rule, ""};
        if (rule->takes_value) {
            if (equals != std::string::npos) {
                given.value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                given.value = args[++i];
            } else {
                *error = name + " needs a value";
                return false;
            }
        } else if (equals != std::string::npos) {
            *error = name + " takes no value";
            return false;
        }
        options.push_back(given);
    }

    if (!words.empty()) {
        std::optional<Subcommand> named = subcommand_named(words.front());
        if (!named) {
            *error = "unknown command \"" + words.front() + "\"";
            return false;
        }
        command->subcommand = *named;
        words.erase(words.begin());
    }

    // `zorva-mail COMMAND --help` asks about the command, whatever else is given.
    for (const GivenOption &given : options) {
        if (std::string(given.rule->name) == "--help") {
            command->help_topic = command->subcommand;
            command->subcommand = Subcommand::Help;
            return true;
        }
    }

    // The words after the subcommand.
    switch (command->subcommand) {
    case Subcommand::Help:
        if (words.size() > 1) {
            *error = "help takes at most one command name";
            return false;
        }
        if (words.size() == 1) {
            command->help_topic = subcommand_named(words.front());
            if (!command->help_topic) {
                *error = "unknown command \"" + words.front() + "\"";
                return false;
            }
        }
        break;
    case Subcommand::Update:
        if (words.size() != 1) {
            *error = "update takes exactly one new subject";
            return false;
        }
        command->new_subject = words.front();
        break;
    case Subcommand::Register:
    case Subcommand::Retry:
        if (words.size() > 1) {
            *error = std::string(subcommand_name(command->subcommand)) +
                     " takes at most one provider DLL path";
            return false;
        }
        if (words.size() == 1) {
            command->provider_path = words.front();
        }
        break;
    default:
        if (!words.empty()) {
            *error = std::string(subcommand_name(command->subcommand)) +
                     " takes no argument \"" + words.front() + "\"";
            return false;
        }
    }

    bool peek_given = false;
    const Subcommand subcommand = command->subcommand;
    for (const GivenOption &given : options) {
        if (!allowed(*given.rule, subcommand)) {
            *error = std::string(given.rule->name) + " does not go with " +
                     subcommand_name(subcommand);
            return false;
        }
        if (!take_option(given, command, &peek_given, error)) {
            return false;
        }
    }
    if (peek_given && command->mark) {
        *error = "--peek and --mark exclude each other";
        return false;
    }
    if (command->text && command->text_file) {
        *error = "--text and --text-file exclude each other";
        return false;
    }
    return true;
}

} // namespace zorva_cli
