// Small text rules of outgoing mail: what counts as an address, how an
// address and a header travel, and how plain text goes into HTML.
#pragma once

#include <string>
#include <vector>

namespace qz {

// VALID_EMAIL: the trimmed text contains "@" and ".", is longer than 4
// characters and has no blank.
bool VALID_EMAIL(const std::string& text);

// "<addr>" for a bare address; text already in angle brackets stays as it is.
std::string AngleAddress(const std::string& address);
// The address inside "Name <addr>" or "<addr>", else the trimmed text.
std::string BareAddress(const std::string& text);
// A header value: ASCII text as it is, anything else as an RFC 2047
// encoded word (UTF-8, base64).
std::string EncodeHeaderText(const std::string& utf8);
// "Name <addr>" with the name encoded when needed; "<addr>" without a name.
std::string MailboxHeader(const std::string& name, const std::string& address);
// Addresses of a list separated by ",", ";" or blanks, trimmed, empty ones
// dropped.
std::vector<std::string> SplitAddresses(const std::string& list);

// Escapes &, <, >, " and every character outside ASCII as a numeric
// reference, so the text reads the same whatever the page's character set.
std::string HtmlEscape(const std::string& utf8);
// A plain-text report (CR LF lines) as an HTML page that keeps its lines.
std::string PlainTextAsHtml(const std::string& utf8);

// The Content-Disposition value of an attached file: its name as it is when
// it is plain ASCII, else in the RFC 2231 form (UTF-8, percent-encoded), so
// that servers that take only 7-bit headers accept the message and readers
// show the real name.
std::string AttachmentDisposition(const std::string& name_utf8);

// True when the bytes are valid UTF-8.
bool IsUtf8(const std::string& bytes);

}  // namespace qz
