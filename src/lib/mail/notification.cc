#include "lib/mail/notification.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "lib/clock.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/mail/mail_fields.h"
#include "lib/mail/mail_text.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"
#include "xbase/value.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

const char kDefaultTemplate[] = R"(<html>
<head><meta http-equiv="Content-Type" content="text/html; charset=utf-8"><title>XTITULO1</title></head>
<body style="font-family: Arial, Helvetica, sans-serif; font-size: 10pt">
<p><img src="cid:NOTIFICA.JPG" alt="QUARTZEL"></p>
<h3>XHOTEL</h3>
<table cellpadding="3">
<tr><td><b>XTITULO1</b></td><td>XTEXTO1</td></tr>
<tr><td><b>XTITULO2</b></td><td>XTEXTO2</td></tr>
<tr><td><b>XTITULO3</b></td><td>XTEXTO3</td></tr>
<tr><td><b>XTITULO4</b></td><td>XTEXTO4</td></tr>
<tr><td><b>XTITULO5</b></td><td>XTEXTO5</td></tr>
<tr><td><b>XTITULO6</b></td><td>XTEXTO6</td></tr>
</table>
<p><b>XDETALLE0</b></p>
<pre>XDETALLE1</pre>
<p>XUSUARIO - XFECHA</p>
</body>
</html>
)";

std::string Folder(const std::string& rel) {
  return G().PATH + rel;
}

// "T" + the last 7 digits of the seconds since midnight (hundredths
// included, as the clock shows them) + ".HTM"; the next number while such a
// file exists.
std::string NewBodyFileName(const std::string& folder) {
  LocalDateTime now = CurrentClock().Now();
  int64_t n = (now.hour * 3600 + now.minute * 60 + now.second) * 100 + now.millisecond / 10;
  for (;; ++n) {
    std::string digits = std::to_string(n % 10000000);
    std::string name = "T" + std::string(7 - digits.size(), '0') + digits + ".HTM";
    std::error_code ec;
    if (!fs::exists(folder + name, ec)) return name;
  }
}

}  // namespace

const std::string& DefaultNotificationTemplate() {
  static const std::string t = kDefaultTemplate;
  return t;
}

Placeholders NotificationPlaceholders(const Notification& n, const std::string& date_time) {
  Placeholders p = {{"XHOTEL", n.hotel}, {"XUSUARIO", n.user}, {"XFECHA", date_time}};
  for (int i = 0; i < 6; ++i) p.push_back({"XTITULO" + std::to_string(i + 1), n.titles[i]});
  for (int i = 0; i < 6; ++i) p.push_back({"XTEXTO" + std::to_string(i + 1), n.texts[i]});
  p.push_back({"XDETALLE1", n.detail});
  p.push_back({"XDETALLE0", n.detail.empty() ? "" : "DETALLE:"});
  for (auto& [name, value] : p) value = HtmlEscape(value);
  return p;
}

bool CopyReplacing(std::istream& in, std::ostream& out, const Placeholders& values, size_t block) {
  size_t longest = 0;
  for (const auto& v : values) longest = std::max(longest, v.first.size());
  block = std::max(block, longest);
  // Longer names first, so a name that begins another never wins over it.
  Placeholders sorted = values;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
  std::string pending;
  std::string chunk(block, '\0');
  bool eof = false;
  while (!eof) {
    in.read(chunk.data(), static_cast<std::streamsize>(block));
    size_t got = static_cast<size_t>(in.gcount());
    eof = got < block;
    pending.append(chunk.data(), got);
    // A name may start in the last longest-1 bytes and end in the next
    // block: those bytes wait for it, unless the file has ended.
    const size_t safe = eof || pending.size() < longest ? (eof ? pending.size() : 0)
                                                        : pending.size() - (longest - 1);
    std::string done;
    size_t i = 0;
    while (i < safe) {
      bool hit = false;
      for (const auto& [name, value] : sorted) {
        if (!name.empty() && pending.compare(i, name.size(), name) == 0) {
          done += value;
          i += name.size();
          hit = true;
          break;
        }
      }
      if (!hit) done += pending[i++];
    }
    out << done;
    pending.erase(0, i);
  }
  out << pending;
  return static_cast<bool>(out);
}

bool EnsureMailFolders() {
  std::error_code ec;
  for (const char* d : {"MAIL", "MAIL/SEND", "MAIL/RECEIVE"}) fs::create_directories(Folder(d), ec);
  return fs::is_directory(Folder("MAIL/SEND"), ec) && fs::is_directory(Folder("MAIL/RECEIVE"), ec);
}

std::string MailSendFolder() {
  return Folder("MAIL/SEND/");
}

std::string HtmlFolder() {
  return Folder("HTML/");
}

uint32_t SEND_NOTIFICATION(const Notification& n) {
  const Globals& g = G();
  const int32_t today = XDATE();
  const std::string now = XTIME();
  if (!EnsureMailFolders()) {
    MESSAGE_BOX("No se pudo crear la carpeta " + MailSendFolder(), "Error", kMbIconStop);
    return 0;
  }
  const std::string folder = MailSendFolder();
  const std::string body_name = NewBodyFileName(folder);
  {
    std::ofstream out(folder + body_name, std::ios::binary);
    std::ifstream tmpl(HtmlFolder() + "NOTIFICA.HTM", std::ios::binary);
    std::istringstream fallback(DefaultNotificationTemplate());
    std::istream& in = tmpl ? static_cast<std::istream&>(tmpl) : fallback;
    Placeholders values = NotificationPlaceholders(n, DateText(today) + "/" + now);
    if (!out || !CopyReplacing(in, out, values)) {
      MESSAGE_BOX("No se pudo escribir " + folder + body_name, "Error", kMbIconStop);
      return 0;
    }
  }
  TablePtr t = USE(nullptr, "E_MSGS");
  ADD_NEW_REC(*t);
  mail::PutDate(*t, "FECHA", today);
  mail::PutText(*t, "HORA", now);
  std::string id = std::to_string(CurrentClock().TickMs() % 10000000000LL);
  mail::PutText(*t, "MAIL", xb::DtosFromJulian(today) + std::string(10 - id.size(), ' ') + id);
  if (t->FieldPos("NEGOCIO") > 0) t->FieldPut("NEGOCIO", xb::Value::Char(n.business));
  mail::PutText(*t, "TO_USER", n.to.size() > 0 ? n.to[0] : "");
  mail::PutText(*t, "CC1", n.to.size() > 1 ? n.to[1] : "");
  mail::PutText(*t, "CC2", n.to.size() > 2 ? n.to[2] : "");
  mail::PutText(*t, "SUBJECT", n.subject);
  mail::PutText(*t, "USERNAME", g.XEMAILNAME);
  mail::PutText(*t, "USERADDR", g.XEMAILADDR);
  mail::PutNum(*t, "HTML", 1);
  mail::PutNum(*t, "LISTO", 1);
  mail::PutText(*t, "HTML_FILE", body_name);
  mail::PutText(*t, "HTML_EMBED", "NOTIFICA.JPG");
  mail::PutText(*t, "HTML_ATTCH", n.attachment);
  mail::PutText(*t, "HTML_D_ATT", n.attachment_folder);
  mail::PutNum(*t, "HTML_DEL_A", n.delete_attachment ? 1 : 0);
  mail::PutNum(*t, "ENVIADO", 0);
  mail::PutNum(*t, "ERR_COUNT", 0);
  const uint32_t recno = t->RecNo();
  UNLOCK_NEW_REC(*t);
  KILLTABLA(t);
  return recno;
}

}  // namespace qz
