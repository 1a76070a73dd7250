// Sending what E_MSGS holds: one queued message at once (a notification the
// user wants out now, or everything still pending once the mail server is
// back), and the immediate error reports of the error handler. A message
// that cannot be sent stays queued with its failed attempts counted, so
// nothing is lost.
#pragma once

#include <cstdint>
#include <string>

#include "lib/data/wtable.h"
#include "lib/errors/error_handler.h"
#include "lib/mail/mail_session.h"

namespace qz {

// The message of the current E_MSGS row: its HTML body file (MAIL/SEND) or,
// for a report queued as text, its BODY; the embedded image from HTML (or
// MAIL/SEND); the attachment from its folder.
OutgoingMail QueuedMessage(const WDBTable& e_msgs);

// Records the outcome on the current row (locking it): ENVIADO 1 with date
// and time (and the attachment removed when HTML_DEL_A asks), or ERR_COUNT
// + 1 and the code and reason in ERR_TEXT.
void RecordSendResult(WDBTable& e_msgs, int code);

// Sends E_MSGS record `recno` in a session of its own; returns 0 or the
// failure's code. Already sent messages are not sent again (returns 0).
int SendQueuedMail(uint32_t recno);

// Sends every ready, unsent message over one session; returns how many went
// out. A connection failure leaves them all queued (and counted).
int SendPendingMails();

// How the error handler mails a report at once: through the session.
MailSender& SessionMailSender();

}  // namespace qz
