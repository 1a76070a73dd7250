// The SMTP session every mail of the program goes through (the error
// handler's reports, notifications sent at once, the parameters' test mail):
// CONNECTSEE opens it with the process-wide mail settings, SENDMAILSEE sends
// HTML messages over it, DISCONNECTSEE closes it. SMTP is spoken by libcurl;
// the session keeps one connection open between the calls.
//
// Settings used: XEMAILHOST (a host name, "host:port" or a URL), the port
// XEMAIL_SMTP_PORT (unset or 0 = 25; 465 = TLS from the start), XEMAILAUTH
// (1 = log in with XEMAIL_AU / XEMAIL_AP; otherwise no user or password is
// given to the server), XEMAILNAME / XEMAILADDR (the sender). A server that
// offers STARTTLS is always spoken to over TLS, with its certificate checked.
//
// Results are the library's codes: 0 = done, negative = failure
// (MailErrorText says why). The password never reaches a message, a log or
// an error text.
#pragma once

#include <cstdint>
#include <string>

namespace qz {

inline constexpr int kMailLoadFailed = -12345678;
inline constexpr int kMailNoHost = -20001;
inline constexpr int kMailMissingFile = -20002;
inline constexpr int kMailNotConnected = -20003;
inline constexpr int kMailNoRecipient = -20004;

struct OutgoingMail {
  std::string to, cc, bcc;  // one address each, or lists separated by "," or ";"
  std::string subject;      // UTF-8
  std::string html;         // the HTML body, or:
  std::string html_file;    // a file holding it (used when `html` is empty)
  std::string embed_file;   // an image the body shows as "cid:" + its file name
  std::string attachment;   // a file sent as attachment
  std::string from;         // "Name <addr>"; empty = XEMAILNAME <XEMAILADDR>
};

// Opens the session (loading the mail library the first time when `load`).
// Failures are shown unless `silent`: "Error loading SEE" and
// "Error SMTP Connect, maybe bad authentication: " + code.
int CONNECTSEE(bool load = true, bool silent = false);
// Sends one HTML message over the open session (reconnecting when the
// server dropped an idle connection).
int SENDMAILSEE(const OutgoingMail& mail);
int SENDMAILSEE(const std::string& to, const std::string& cc, const std::string& bcc,
                const std::string& subject, const std::string& body);
// Closes the session; `unload` also forgets the library state.
int DISCONNECTSEE(bool unload = true);
bool MailConnected();

// A text for a result code, with the server's last reply when there was one.
std::string MailErrorText(int code);

// How long the session waits: the TCP connection, each server reply, and a
// transfer that moves no data. Defaults: 15 s, 60 s, 60 s. Tests shorten them.
struct MailTimeouts {
  int64_t connect_ms = 15000;
  int64_t reply_ms = 60000;
  int64_t stall_ms = 60000;
};
void SetMailTimeouts(const MailTimeouts& t);

// Sends `mail` in a session of its own (connect, send, disconnect), silently;
// returns the first failure's code or 0.
int SendMailNow(const OutgoingMail& mail);

}  // namespace qz
