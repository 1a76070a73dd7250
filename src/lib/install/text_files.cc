#include "lib/install/text_files.h"

#include "lib/install/rows.h"

namespace qz {

const std::vector<std::string>& NotificationPlaceholders() {
  static const std::vector<std::string> kNames = {
      "XHOTEL",   "XUSUARIO", "XFECHA",   "XTITULO1",  "XTITULO2", "XTITULO3",
      "XTITULO4", "XTITULO5", "XTITULO6", "XTEXTO1",   "XTEXTO2",  "XTEXTO3",
      "XTEXTO4",  "XTEXTO5",  "XTEXTO6",  "XDETALLE0", "XDETALLE1"};
  return kNames;
}

std::string NotificationTemplate() {
  // Each placeholder appears once, in plain text, so a replacement never
  // depends on HTML escaping; the rest of the page has no word starting with
  // a placeholder's letters.
  static const char kPage[] =
      "<!DOCTYPE html>\r\n"
      "<html>\r\n"
      "<head>\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
      "<title>Notificación QUARTZEL</title>\r\n"
      "<style>\r\n"
      "body { font-family: Calibri, Arial, sans-serif; color: #1a2a40; }\r\n"
      "h1 { font-size: 18px; color: #102a5c; border-bottom: 2px solid #d6a028; }\r\n"
      "td.t { font-weight: bold; padding-right: 12px; vertical-align: top; }\r\n"
      "p.pie { font-size: 11px; color: #607080; }\r\n"
      "</style>\r\n"
      "</head>\r\n"
      "<body>\r\n"
      "<h1>XHOTEL</h1>\r\n"
      "<p>Usuario: XUSUARIO<br>Fecha: XFECHA</p>\r\n"
      "<table>\r\n"
      "<tr><td class=\"t\">XTITULO1</td><td>XTEXTO1</td></tr>\r\n"
      "<tr><td class=\"t\">XTITULO2</td><td>XTEXTO2</td></tr>\r\n"
      "<tr><td class=\"t\">XTITULO3</td><td>XTEXTO3</td></tr>\r\n"
      "<tr><td class=\"t\">XTITULO4</td><td>XTEXTO4</td></tr>\r\n"
      "<tr><td class=\"t\">XTITULO5</td><td>XTEXTO5</td></tr>\r\n"
      "<tr><td class=\"t\">XTITULO6</td><td>XTEXTO6</td></tr>\r\n"
      "</table>\r\n"
      "<p><b>XDETALLE0</b></p>\r\n"
      "<pre>XDETALLE1</pre>\r\n"
      "<p class=\"pie\">Mensaje generado automáticamente por QUARTZEL Software.</p>\r\n"
      "</body>\r\n"
      "</html>\r\n";
  return Cp1252(kPage);
}

std::string IniFile(const std::string& last_business) {
  return "[LAST_NEG]\r\nLAST_NEG=" + Cp1252(last_business) + "\r\n";
}

}  // namespace qz
