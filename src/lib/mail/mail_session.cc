#include "lib/mail/mail_session.h"

#include <curl/curl.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "lib/mail/mail_text.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

struct Session {
  bool loaded = false;
  CURL* handle = nullptr;
  std::string url;
  long last_reply = 0;
  std::string last_error;
  MailTimeouts timeouts;
};

Session& S() {
  static Session s;
  return s;
}

// curl codes travel negated so that every failure is negative.
int Fail(CURLcode c) {
  return -static_cast<int>(c);
}

std::string HostUrl(const Globals& g) {
  std::string host = Trim(g.XEMAILHOST);
  if (host.empty() || host.find("://") != std::string::npos) return host;
  const int port = g.XEMAIL_SMTP_PORT.value_or(0);
  std::string url = (port == 465 ? "smtps://" : "smtp://") + host;
  if (port != 0 && host.find(':') == std::string::npos) url += ":" + std::to_string(port);
  return url;
}

void SetCommonOptions(CURL* h, const Globals& g, const std::string& url) {
  const MailTimeouts& t = S().timeouts;
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(t.connect_ms));
  curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>((t.reply_ms + 999) / 1000));
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, static_cast<long>((t.stall_ms + 999) / 1000));
  // Never verbose: the conversation would show the login.
  curl_easy_setopt(h, CURLOPT_VERBOSE, 0L);
  if (g.XEMAILAUTH == 1) {
    curl_easy_setopt(h, CURLOPT_USERNAME, Trim(g.XEMAIL_AU).c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, Trim(g.XEMAIL_AP).c_str());
  } else {
    curl_easy_setopt(h, CURLOPT_USERNAME, nullptr);
    curl_easy_setopt(h, CURLOPT_PASSWORD, nullptr);
  }
}

int Perform(CURL* h) {
  CURLcode c = curl_easy_perform(h);
  long reply = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &reply);
  S().last_reply = reply;
  if (c != CURLE_OK) {
    S().last_error = curl_easy_strerror(c);
    return Fail(c);
  }
  S().last_error.clear();
  return 0;
}

std::string ContentType(const std::string& file) {
  std::string ext = Upper(std::filesystem::path(file).extension().string());
  if (ext == ".JPG" || ext == ".JPEG") return "image/jpeg";
  if (ext == ".PNG") return "image/png";
  if (ext == ".GIF") return "image/gif";
  if (ext == ".BMP") return "image/bmp";
  if (ext == ".PDF") return "application/pdf";
  if (ext == ".XLSX") return "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
  if (ext == ".XLS") return "application/vnd.ms-excel";
  if (ext == ".HTM" || ext == ".HTML") return "text/html";
  if (ext == ".TXT" || ext == ".CSV") return "text/plain";
  return "application/octet-stream";
}

std::string DateHeader() {
  static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  long off = tm.tm_gmtoff / 60;
  char buf[64];
  std::snprintf(buf, sizeof buf, "Date: %s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                kDays[tm.tm_wday], tm.tm_mday, kMonths[tm.tm_mon], tm.tm_year + 1900, tm.tm_hour,
                tm.tm_min, tm.tm_sec, off < 0 ? '-' : '+', std::labs(off) / 60,
                std::labs(off) % 60);
  return buf;
}

bool ReadFile(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  *out = ss.str();
  return true;
}

// Everything a send needs kept alive until curl_easy_perform returns.
class Envelope {
 public:
  explicit Envelope(CURL* h) : h_(h) {}
  ~Envelope() {
    curl_easy_setopt(h_, CURLOPT_MIMEPOST, nullptr);
    curl_easy_setopt(h_, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(h_, CURLOPT_MAIL_RCPT, nullptr);
    if (mime_) curl_mime_free(mime_);
    curl_slist_free_all(headers_);
    curl_slist_free_all(rcpt_);
  }
  curl_slist* headers_ = nullptr;
  curl_slist* rcpt_ = nullptr;
  curl_mime* mime_ = nullptr;

 private:
  CURL* h_;
};

void AddHeader(curl_slist** list, const std::string& line) {
  *list = curl_slist_append(*list, line.c_str());
}

// The To or Cc header: every address in angle brackets.
std::string AddressHeader(const std::string& name, const std::vector<std::string>& addrs) {
  std::string h = name + ": ";
  for (size_t i = 0; i < addrs.size(); ++i) h += (i ? ", " : "") + AngleAddress(addrs[i]);
  return h;
}

}  // namespace

void SetMailTimeouts(const MailTimeouts& t) {
  S().timeouts = t;
}

bool MailConnected() {
  return S().handle != nullptr;
}

int CONNECTSEE(bool load, bool silent) {
  Session& s = S();
  if (!s.loaded) {
    if (!load || curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
      if (!silent) MESSAGE_BOX("Error loading SEE", "Error", kMbIconStop);
      return kMailLoadFailed;
    }
    s.loaded = true;
  }
  if (s.handle) DISCONNECTSEE(false);
  const Globals& g = G();
  s.url = HostUrl(g);
  int code = kMailNoHost;
  if (!s.url.empty()) {
    s.handle = curl_easy_init();
    if (!s.handle) return kMailLoadFailed;
    SetCommonOptions(s.handle, g, s.url);
    // A harmless command proves the connection and the login now, so that a
    // wrong password is reported here and not in the middle of a send.
    curl_easy_setopt(s.handle, CURLOPT_CUSTOMREQUEST, "NOOP");
    curl_easy_setopt(s.handle, CURLOPT_NOBODY, 1L);
    code = Perform(s.handle);
    curl_easy_setopt(s.handle, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(s.handle, CURLOPT_NOBODY, 0L);
  } else {
    s.last_error = "no hay servidor de correo saliente";
  }
  if (code < 0) {
    if (!silent)
      MESSAGE_BOX("Error SMTP Connect, maybe bad authentication: " + std::to_string(code), "Error",
                  kMbIconStop);
    DISCONNECTSEE(true);
  }
  return code;
}

int SENDMAILSEE(const std::string& to, const std::string& cc, const std::string& bcc,
                const std::string& subject, const std::string& body) {
  OutgoingMail m;
  m.to = to;
  m.cc = cc;
  m.bcc = bcc;
  m.subject = subject;
  m.html = body;
  return SENDMAILSEE(m);
}

int SENDMAILSEE(const OutgoingMail& mail) {
  Session& s = S();
  if (!s.handle) {
    s.last_error = "sin conexión SMTP";
    return kMailNotConnected;
  }
  const Globals& g = G();
  std::string html = mail.html;
  if (html.empty() && !mail.html_file.empty() && !ReadFile(mail.html_file, &html)) {
    s.last_error = "archivo no encontrado: " + mail.html_file;
    return kMailMissingFile;
  }
  std::error_code ec;
  if (!mail.attachment.empty() && !std::filesystem::is_regular_file(mail.attachment, ec)) {
    s.last_error = "archivo no encontrado: " + mail.attachment;
    return kMailMissingFile;
  }
  const std::vector<std::string> to = SplitAddresses(mail.to), cc = SplitAddresses(mail.cc),
                                 bcc = SplitAddresses(mail.bcc);
  if (to.empty() && cc.empty() && bcc.empty()) {
    s.last_error = "sin destinatario";
    return kMailNoRecipient;
  }
  CURL* h = s.handle;
  Envelope env(h);
  std::string from = mail.from.empty() ? MailboxHeader(g.XEMAILNAME, g.XEMAILADDR) : mail.from;
  std::string sender = AngleAddress(BareAddress(from));
  curl_easy_setopt(h, CURLOPT_MAIL_FROM, sender.c_str());
  for (const auto* list : {&to, &cc, &bcc})
    for (const auto& a : *list) env.rcpt_ = curl_slist_append(env.rcpt_, AngleAddress(a).c_str());
  curl_easy_setopt(h, CURLOPT_MAIL_RCPT, env.rcpt_);

  AddHeader(&env.headers_, DateHeader());
  AddHeader(&env.headers_, "From: " + from);
  if (!to.empty()) AddHeader(&env.headers_, AddressHeader("To", to));
  if (!cc.empty()) AddHeader(&env.headers_, AddressHeader("Cc", cc));
  AddHeader(&env.headers_, "Subject: " + EncodeHeaderText(mail.subject));
  AddHeader(&env.headers_, "X-Priority: Normal");
  AddHeader(&env.headers_, "X-Sender: QUARTZEL Hotel Software");
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, env.headers_);

  env.mime_ = curl_mime_init(h);
  curl_mime* related = curl_mime_init(h);
  curl_mimepart* body = curl_mime_addpart(related);
  curl_mime_data(body, html.data(), html.size());
  curl_mime_type(body, IsUtf8(html) ? "text/html; charset=UTF-8" : "text/html; charset=windows-1252");
  curl_mime_encoder(body, "quoted-printable");
  // A missing picture leaves the message without it rather than unsent.
  if (!mail.embed_file.empty() && std::filesystem::is_regular_file(mail.embed_file, ec)) {
    const std::string name = std::filesystem::path(mail.embed_file).filename().string();
    curl_mimepart* img = curl_mime_addpart(related);
    curl_mime_filedata(img, mail.embed_file.c_str());
    curl_mime_type(img, ContentType(mail.embed_file).c_str());
    curl_mime_encoder(img, "base64");
    curl_slist* ph = nullptr;
    AddHeader(&ph, "Content-ID: <" + name + ">");
    AddHeader(&ph, "Content-Disposition: inline; filename=\"" + name + "\"");
    curl_mime_headers(img, ph, 1);
  }
  curl_mimepart* alt = curl_mime_addpart(env.mime_);
  curl_mime_subparts(alt, related);
  curl_mime_type(alt, "multipart/related");
  if (!mail.attachment.empty()) {
    curl_mimepart* att = curl_mime_addpart(env.mime_);
    curl_mime_filedata(att, mail.attachment.c_str());
    curl_mime_type(att, ContentType(mail.attachment).c_str());
    curl_mime_encoder(att, "base64");
    // libcurl would put the name into the header as raw bytes.
    curl_mime_filename(att, nullptr);
    curl_slist* ah = nullptr;
    AddHeader(&ah, "Content-Disposition: " +
                       AttachmentDisposition(std::filesystem::path(mail.attachment).filename().string()));
    curl_mime_headers(att, ah, 1);
  }
  curl_easy_setopt(h, CURLOPT_MIMEPOST, env.mime_);
  return Perform(h);
}

int DISCONNECTSEE(bool unload) {
  Session& s = S();
  if (s.handle) {
    curl_easy_cleanup(s.handle);  // says QUIT on an open connection
    s.handle = nullptr;
  }
  // libcurl's global state stays: tearing it down while other threads may
  // use it is unsafe, and loading it again costs nothing.
  (void)unload;
  return 0;
}

std::string MailErrorText(int code) {
  const Session& s = S();
  std::string text;
  if (code == kMailLoadFailed) {
    text = "no se pudo cargar la biblioteca de correo";
  } else if (code <= -20000) {
    text = s.last_error;
  } else if (code < 0) {
    text = curl_easy_strerror(static_cast<CURLcode>(-code));
  } else {
    return "";
  }
  if (s.last_reply > 0) text += " (SMTP " + std::to_string(s.last_reply) + ")";
  return text;
}

int SendMailNow(const OutgoingMail& mail) {
  int rc = CONNECTSEE(true, true);
  if (rc < 0) return rc;
  rc = SENDMAILSEE(mail);
  DISCONNECTSEE();
  return rc;
}

}  // namespace qz
