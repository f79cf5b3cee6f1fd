/* The text report GETMAIL hands back for one message. */
#ifndef ZORVA_MAIL_MESSAGE_REPORT_H
#define ZORVA_MAIL_MESSAGE_REPORT_H

#include "../mapi/simple_mapi.h"

/* The host's report buffer, and our own report text: 32767 characters and
 * the terminator at most. */
#define REPORT_TEXT_SIZE 32768

/* One field of a message is copied here before it is shown; longer fields
 * are cut to its size. */
#define SCRATCH_TEXT_SIZE 32768

/* Builds the report of message into report: sender, address, date, one
 * line per attachment, subject and note text, each line ending in a line
 * feed. Absent values, and all originator fields when there is no
 * originator record, are empty. A longer report is cut to
 * REPORT_TEXT_SIZE - 1 characters. */
void build_report(const MapiMessage *message, char report[REPORT_TEXT_SIZE]);

#endif
