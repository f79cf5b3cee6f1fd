#include "message_report.h"

#include "text_copy.h"

#define REPORT_FIRST_LINE "MAILMESSAGE\n"
#define REPORT_FROM "From:"
#define REPORT_ADDRESS "Address:"
#define REPORT_DATE "Date Received:"
#define REPORT_ATTACHMENT "Attachment:"
#define REPORT_SUBJECT "Subject:"
#define REPORT_MESSAGE "Message:"
#define REPORT_LINE_END "\n"

typedef struct ReportText {
    char *text;
    size_t length; /* at most REPORT_TEXT_SIZE - 1 */
} ReportText;

static void append(ReportText *report, const char *text)
{
    report->length +=
        copy_text(report->text + report->length, REPORT_TEXT_SIZE - report->length, text);
}

static int report_full(const ReportText *report)
{
    return report->length == REPORT_TEXT_SIZE - 1;
}

static void append_line(ReportText *report, char *scratch, const char *label, const char *value)
{
    copy_or_empty(scratch, SCRATCH_TEXT_SIZE, value);
    append(report, label);
    append(report, scratch);
    append(report, REPORT_LINE_END);
}

void build_report(const MapiMessage *message, char report_text[REPORT_TEXT_SIZE])
{
    char scratch[SCRATCH_TEXT_SIZE];
    const MapiRecipDesc *originator = message->lpOriginator;
    ReportText report = {report_text, 0};
    MapiULong i;

    report_text[0] = '\0';
    append(&report, REPORT_FIRST_LINE);
    append_line(&report, scratch, REPORT_FROM, originator ? originator->lpszName : NULL);
    append_line(&report, scratch, REPORT_ADDRESS, originator ? originator->lpszAddress : NULL);
    append_line(&report, scratch, REPORT_DATE, message->lpszDateReceived);
    if (message->lpFiles != NULL) {
        for (i = 0; i < message->nFileCount && !report_full(&report); ++i) {
            append_line(&report, scratch, REPORT_ATTACHMENT, message->lpFiles[i].lpszPathName);
        }
    }
    append_line(&report, scratch, REPORT_SUBJECT, message->lpszSubject);
    append_line(&report, scratch, REPORT_MESSAGE, message->lpszNoteText);
}
