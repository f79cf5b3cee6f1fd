#include "smtp_client.h"

#include <algorithm>

#include "mime_codecs.h"
#include "mime_headers.h"
#include "smtp_data.h"

namespace provider {

namespace {

// Data is read and sent in pieces of this size.
constexpr std::size_t kDataPiece = 65536;

std::string reply_words(const SmtpReply &reply) { return std::to_string(reply.code) + " " + reply.text(); }

// A refusal that says authentication is needed or failed.
bool is_auth_refusal(int code) { return code == 530 || code == 534 || code == 535 || code == 538; }

} // namespace

const char *net_words(NetStatus status)
{
    switch (status) {
    case NetStatus::Ok:
        return "ok";
    case NetStatus::NotFound:
        return "host not found";
    case NetStatus::Refused:
        return "connection refused";
    case NetStatus::TimedOut:
        return "timed out";
    case NetStatus::Closed:
        return "connection closed by the server";
    case NetStatus::Failed:
        break;
    }
    return "network error";
}

bool TextSource::read(char *buffer, std::size_t size, std::size_t &got)
{
    got = std::min(size, text_.size() - position_);
    text_.copy(buffer, got, position_);
    position_ += got;
    return true;
}

SmtpExtensions parse_extensions(const SmtpReply &ehlo_reply)
{
    SmtpExtensions extensions;
    // The first line greets; each further line names one extension.
    for (std::size_t i = 1; i < ehlo_reply.lines.size(); ++i) {
        std::string line = lower_ascii(trim_blanks(ehlo_reply.lines[i]));
        std::string keyword = line.substr(0, line.find(' '));
        if (keyword == "8bitmime") {
            extensions.eight_bit_mime = true;
        } else if (keyword == "auth") {
            extensions.auth_offered = true;
            std::string rest = " " + line.substr(keyword.size()) + " ";
            extensions.auth_plain = extensions.auth_plain || rest.find(" plain ") != std::string::npos;
            extensions.auth_login = extensions.auth_login || rest.find(" login ") != std::string::npos;
        }
    }
    return extensions;
}

bool SmtpClient::transmit(const std::string &line, SmtpOutcome &outcome)
{
    NetStatus status = channel_.send(line.data(), line.size());
    if (status != NetStatus::Ok) {
        usable_ = false;
        outcome.result = SmtpResult::Failed;
        outcome.detail = std::string("sending failed: ") + net_words(status);
        return false;
    }
    return true;
}

bool SmtpClient::read_reply(SmtpReply &reply, SmtpOutcome &outcome, const char *after)
{
    char buffer[4096];
    for (;;) {
        SmtpReplyReader::Status status = reader_.next(reply);
        if (status == SmtpReplyReader::Status::Reply) {
            return true;
        }
        if (status == SmtpReplyReader::Status::Malformed) {
            usable_ = false;
            outcome.result = SmtpResult::Failed;
            outcome.detail = std::string("the server's reply to ") + after + " is not SMTP";
            return false;
        }
        std::size_t got = 0;
        NetStatus net = channel_.receive(buffer, sizeof buffer, got);
        if (net != NetStatus::Ok || got == 0) {
            usable_ = false;
            outcome.result = SmtpResult::Failed;
            outcome.detail = std::string("no reply to ") + after + ": " +
                             net_words(net == NetStatus::Ok ? NetStatus::Closed : net);
            return false;
        }
        reader_.feed(buffer, got);
    }
}

bool SmtpClient::command(const std::string &line, SmtpReply &reply, SmtpOutcome &outcome, const char *what)
{
    return transmit(line + "\r\n", outcome) && read_reply(reply, outcome, what);
}

bool SmtpClient::greet(const SmtpRequest &request, SmtpExtensions &extensions, SmtpOutcome &outcome)
{
    SmtpReply reply;
    if (!read_reply(reply, outcome, "the connection")) {
        return false;
    }
    if (reply.code != 220) {
        outcome.detail = "the server does not take mail: " + reply_words(reply);
        return false;
    }
    if (!command("EHLO " + request.client_name, reply, outcome, "EHLO")) {
        return false;
    }
    if (reply.kind() == 2) {
        extensions = parse_extensions(reply);
        return true;
    }
    // A server of the old kind: no extensions.
    if (!command("HELO " + request.client_name, reply, outcome, "HELO")) {
        return false;
    }
    if (reply.kind() != 2) {
        outcome.detail = "HELO refused: " + reply_words(reply);
        return false;
    }
    return true;
}

bool SmtpClient::authenticate(const SmtpRequest &request, const SmtpExtensions &extensions, SmtpOutcome &outcome)
{
    SmtpReply reply;
    if (extensions.auth_plain) {
        std::string token = std::string(1, '\0') + request.user + std::string(1, '\0') + request.password;
        if (!command("AUTH PLAIN " + base64_encode(token), reply, outcome, "AUTH PLAIN")) {
            return false;
        }
    } else {
        if (!command("AUTH LOGIN", reply, outcome, "AUTH LOGIN")) {
            return false;
        }
        if (reply.code == 334 && !command(base64_encode(request.user), reply, outcome, "the user name")) {
            return false;
        }
        if (reply.code == 334 && !command(base64_encode(request.password), reply, outcome, "the password")) {
            return false;
        }
    }
    if (reply.code == 334) {
        // It asks for more than a user and a password: give up the attempt.
        if (!command("*", reply, outcome, "the cancelled authentication")) {
            return false;
        }
        outcome.result = SmtpResult::AuthRefused;
        outcome.detail = "authentication not completed: " + reply_words(reply);
        return false;
    }
    if (reply.kind() == 2) {
        return true;
    }
    outcome.result = reply.kind() == 5 ? SmtpResult::AuthRefused : SmtpResult::Failed;
    outcome.detail = "authentication refused: " + reply_words(reply);
    return false;
}

bool SmtpClient::send_data(MessageSource &message, SmtpOutcome &outcome)
{
    DotStuffer stuffer;
    std::string piece;
    std::string wire;
    piece.resize(kDataPiece);
    for (;;) {
        std::size_t got = 0;
        if (!message.read(&piece[0], piece.size(), got)) {
            // The end marker is never sent, so the server takes nothing.
            usable_ = false;
            outcome.detail = "the message could not be read";
            return false;
        }
        wire.clear();
        if (got == 0) {
            stuffer.finish(wire);
            return transmit(wire, outcome);
        }
        stuffer.add(piece.data(), got, wire);
        if (!transmit(wire, outcome)) {
            return false;
        }
    }
}

SmtpOutcome SmtpClient::send_message(const SmtpRequest &request, MessageSource &message)
{
    SmtpOutcome outcome;
    SmtpExtensions extensions;
    if (!greet(request, extensions, outcome)) {
        return outcome;
    }
    if (request.authenticate && (extensions.auth_plain || extensions.auth_login) &&
        !authenticate(request, extensions, outcome)) {
        return outcome;
    }
    std::string mail = "MAIL FROM:<" + request.sender + ">";
    if (request.eight_bit) {
        if (!extensions.eight_bit_mime) {
            outcome.detail = "the message has 8-bit text and the server takes only 7-bit messages";
            return outcome;
        }
        mail += " BODY=8BITMIME";
    }
    SmtpReply reply;
    if (!command(mail, reply, outcome, "MAIL FROM")) {
        return outcome;
    }
    if (reply.kind() != 2) {
        outcome.result = is_auth_refusal(reply.code) ? SmtpResult::AuthRefused : SmtpResult::Failed;
        outcome.detail = "sender refused: " + reply_words(reply);
        return outcome;
    }
    bool temporary = false;
    for (const std::string &recipient : request.recipients) {
        if (!command("RCPT TO:<" + recipient + ">", reply, outcome, "RCPT TO")) {
            return outcome;
        }
        if (reply.kind() == 2) {
            continue;
        }
        if (is_auth_refusal(reply.code)) {
            outcome.result = SmtpResult::AuthRefused;
            outcome.detail = "recipient refused without authentication: " + reply_words(reply);
            return outcome;
        }
        temporary = temporary || reply.kind() != 5;
        outcome.refused.push_back(recipient);
        if (!outcome.detail.empty()) {
            outcome.detail += "; ";
        }
        outcome.detail += recipient + ": " + reply_words(reply);
    }
    if (!outcome.refused.empty()) {
        // Either every recipient gets it or nobody does: the transaction is
        // dropped and the message stays whole in the outbox.
        outcome.result = temporary ? SmtpResult::Failed : SmtpResult::RecipientsRefused;
        outcome.detail = "recipients refused: " + outcome.detail;
        return outcome;
    }
    if (!command("DATA", reply, outcome, "DATA")) {
        return outcome;
    }
    if (reply.code != 354) {
        outcome.detail = "DATA refused: " + reply_words(reply);
        return outcome;
    }
    if (reader_.has_pending()) {
        usable_ = false;
        outcome.detail = "the server spoke out of turn after DATA";
        return outcome;
    }
    if (!send_data(message, outcome) || !read_reply(reply, outcome, "the message")) {
        return outcome;
    }
    if (reply.code != 250) {
        outcome.detail = "message refused: " + reply_words(reply);
        return outcome;
    }
    outcome.result = SmtpResult::Accepted;
    outcome.detail = reply_words(reply);
    return outcome;
}

void SmtpClient::quit()
{
    if (!usable_) {
        return;
    }
    SmtpOutcome ignored;
    SmtpReply reply;
    command("QUIT", reply, ignored, "QUIT");
    usable_ = false;
}

} // namespace provider
