// Notifications: an HTML page made from the template HTML/NOTIFICA.HTM with
// its placeholders filled in, written to MAIL/SEND and queued in E_MSGS for
// the mail server (or for sending at once, see mail_queue.h).
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace qz {

struct Notification {
  std::string business;         // NEGOCIO (table bytes or UTF-8; stored as given)
  std::string hotel;            // XHOTEL
  std::vector<std::string> to;  // addressee, then up to two copies
  std::string subject;
  std::string user;  // XUSUARIO
  std::array<std::string, 6> texts;
  std::array<std::string, 6> titles;
  std::string attachment;         // file name
  std::string attachment_folder;  // its folder
  bool delete_attachment = false;
  std::string detail;  // XDETALLE1 (with the heading XDETALLE0)
};

using Placeholders = std::vector<std::pair<std::string, std::string>>;

// The placeholders of a notification and their values (HTML-escaped).
Placeholders NotificationPlaceholders(const Notification& n, const std::string& date_time);

// Streams `in` to `out` replacing every placeholder name by its value, in
// blocks of `block` bytes (at least the longest name): a name cut by a block
// boundary is still found. Replaced values are never searched again.
// False when writing failed.
bool CopyReplacing(std::istream& in, std::ostream& out, const Placeholders& values,
                   size_t block = 5000);

// MAIL/ (with SEND/ and RECEIVE/) under the program folder; false when it
// cannot be created.
bool EnsureMailFolders();
std::string MailSendFolder();  // program folder + "MAIL/SEND/"
std::string HtmlFolder();      // program folder + "HTML/"

// SEND_NOTIFICATION: writes the page and queues it; returns the E_MSGS
// record number, 0 when nothing could be queued (the user was told).
uint32_t SEND_NOTIFICATION(const Notification& n);

// The page every installation gets when HTML/NOTIFICA.HTM is missing.
const std::string& DefaultNotificationTemplate();

}  // namespace qz
