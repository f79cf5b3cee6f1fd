// Another process using the same store, for the concurrency and crash
// tests. It loads the provider as the library does, finds the
// configuration through ZORVA_PROVIDER_CONFIG like its parent, and prints
// one line after each finished step, so the parent knows how far it got.
//
//   provider_worker send <profile> <count> <tag> [attachment]
//       sends <count> messages "<tag> <n>" to the profile's own address
//   provider_worker rewrite <profile> <count>
//       rewrites the first message's subject <count> times, "even"/"odd"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "provider_library.h"
#include "test_host.h"

namespace {

int fail(const char *what, MapiULong code)
{
    std::printf("failed: %s %lu\n", what, static_cast<unsigned long>(code));
    std::fflush(stdout);
    return 1;
}

int send_messages(const ProviderFunctions &mapi, MapiHandle session, int count, const std::string &tag,
                  const char *attachment)
{
    MapiRecipDesc self{0, MAPI_TO, const_cast<char *>("Me"), const_cast<char *>("ann@example.com"), 0, nullptr};
    MapiFileDesc file{0, 0, 0, const_cast<char *>(attachment), nullptr, nullptr};
    for (int i = 0; i < count; ++i) {
        std::string subject = tag + " " + std::to_string(i);
        std::string note = "message " + subject + " from another process\n";
        MapiMessage message{};
        message.lpszSubject = &subject[0];
        message.lpszNoteText = &note[0];
        message.nRecipCount = 1;
        message.lpRecips = &self;
        if (attachment != nullptr) {
            message.nFileCount = 1;
            message.lpFiles = &file;
        }
        MapiULong result = mapi.MAPISendMail(session, 0, &message, 0, 0);
        if (result != SUCCESS_SUCCESS) {
            return fail("MAPISendMail", result);
        }
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    return 0;
}

int rewrite_subject(const ProviderFunctions &mapi, MapiHandle session, int count)
{
    char id[MAPI_MESSAGE_ID_SIZE] = "";
    MapiULong result = mapi.MAPIFindNext(session, 0, nullptr, id, 0, 0, id);
    if (result != SUCCESS_SUCCESS) {
        return fail("MAPIFindNext", result);
    }
    for (int i = 0; i < count; ++i) {
        MapiMessage *message = nullptr;
        result = mapi.MAPIReadMail(session, 0, id, MAPI_PEEK, 0, &message);
        if (result != SUCCESS_SUCCESS) {
            return fail("MAPIReadMail", result);
        }
        char subject[8];
        std::strcpy(subject, i % 2 == 0 ? "even" : "odd");
        message->lpszSubject = subject;
        // A new note text makes every save compose the whole body again.
        std::string note = "rewritten " + std::to_string(i) + "\n";
        message->lpszNoteText = &note[0];
        result = mapi.MAPISaveMail(session, 0, message, 0, 0, id);
        mapi.MAPIFreeBuffer(message);
        if (result != SUCCESS_SUCCESS) {
            return fail("MAPISaveMail", result);
        }
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::printf("usage: provider_worker send|rewrite <profile> <count> ...\n");
        return 2;
    }
    try {
        ProviderLibrary provider(test_host::provider_library_path());
        const ProviderFunctions &mapi = provider.functions();
        MapiHandle session = 0;
        char password[] = "";
        MapiULong result = mapi.MAPILogon(0, argv[2], password, MAPI_NEW_SESSION, 0, &session);
        if (result != SUCCESS_SUCCESS) {
            return fail("MAPILogon", result);
        }
        int count = std::atoi(argv[3]);
        std::string mode = argv[1];
        int status = 2;
        if (mode == "send" && argc >= 5) {
            status = send_messages(mapi, session, count, argv[4], argc >= 6 ? argv[5] : nullptr);
        } else if (mode == "rewrite") {
            status = rewrite_subject(mapi, session, count);
        }
        mapi.MAPILogoff(session, 0, 0, 0);
        return status;
    } catch (const std::exception &error) {
        std::printf("failed: %s\n", error.what());
        return 3;
    }
}
