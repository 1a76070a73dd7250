// The process-wide settings every part of the program reads by name. They are
// created once at start with the values below and live for the whole process;
// tests replace them with a fresh set through ResetGlobals().
//
// Positions the system counts from 1 (XADSPARAMS line n, XDBACCESS[1], ...)
// are 0-based here: XADSPARAMS[0] is line 1 of ADS.DEF.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qz {

class TXT_SRCH;
class WDBTable;

// {1 when a local temporary folder is used, that folder}.
struct TempPathSetting {
  int local = 0;
  std::string folder;
};

// One work area's word-index slot: {registered, document field, file name}.
struct TextSearchSlot {
  int registered = 0;
  std::string document_field;
  std::string file_name;
};

// An entry of XA_RECORDS: the area and, in transaction mode 1, the record.
struct TransRecord {
  int area = 0;
  uint32_t recno = 0;
};

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct Globals {
  Globals();
  ~Globals();
  Globals(const Globals&) = delete;
  Globals& operator=(const Globals&) = delete;

  // Program folder with a trailing separator.
  std::string PATH;
  // "ADSCDX" with the server engine, "DBFCDX" with plain local files.
  std::string DEF_RDD;
  std::vector<std::string> XADSPARAMS = std::vector<std::string>(26);
  std::string XADSDIRECTORY;
  std::optional<bool> XADS_MYCONNECTION;
  int XADSCACHERECORDS = 0;
  std::string XADS_TS = std::string(100, '0');
  std::string XADS_DIR;
  bool XADS_RIGHTS_CHECKING = true;      // line 21
  bool XADS_COMPATIBLE_LOCKING = false;  // line 23

  // Transaction state.
  int XADSTRANS = 0;
  int XTRANS_TIPO = 1;
  std::optional<int> XTRANS_ID;
  std::vector<TransRecord> XA_RECORDS;
  std::vector<std::pair<std::string, int>> XADSFILEBAG;  // {name, work area}
  std::string XADS_T_ERR;
  std::array<int, 3> XRETRIES{0, 0, 0};  // opens, locks and appends, unlocks

  // {sub-folder under BASES, sub-base code, (unused)}.
  std::array<std::string, 3> XDBACCESS;
  TempPathSetting XTEMPPATH;
  std::unique_ptr<WDBTable> XDUMMYADSTABLE;
  std::string EXT_MODULO = "XXX";

  // Session (set by the login).
  std::optional<int> XUSER_NUMBER;
  std::string XUSER_ABREVIA;
  int XSUPERACCESS = 0;
  std::string XU_COMP;
  int XNO_SALIR = 0;
  std::optional<int32_t> XFECHA_CLAVE;
  int XIDIOMA = 1;
  int XBUTTON_STYLE = 3;
  int XDO_CHAT = 0;
  std::optional<uint32_t> XREC_E_S;
  int XID_MENU = 0;
  std::vector<std::pair<std::string, std::string>> XTRADUCT;
  int XMANEJO_TC = 0;
  int XFEC_HORA_LOCAL = 0;
  int XREMOTE_SESSION = 0;
  int XDOTRANSPARENCY = 1;

  int64_t XAPP_LAST_MESSAGETIME = 0;
  int64_t XAPP_MAX_MESSAGETIME = 300000;
  int XAPP_IN_MESSAGETIME = 0;
  int XAPP_MESSAGE_NOCHECK = 0;

  // Outgoing e-mail (DEFMAIL).
  std::string XEMAILADDR, XEMAILHOST, XEMAILNAME;
  std::string XEMAIL_ID = "Desconocido";
  int XEMAILSEND = 0;
  std::string XEMAILDEST;
  int XEMAILAUTH = 0;
  std::string XEMAIL_AU, XEMAIL_AP, XEMAIL_CC1, XEMAIL_CC2;
  std::optional<int> XEMAIL_SMTP_PORT, XEMAIL_POP3_PORT;

  // Fonts and colours.
  std::string XPRINT_FONT = "Times New Roman";
  std::string XGLOBAL_FONT_NAME;
  double XGLOBAL_FONT_SIZE = 8;
  std::string XWINDOW_FONT_NAME;  // T_FONT of F_SYS
  std::vector<std::string> XAVAILABLE_FONTS;
  Rgb XO_COLOUR{192, 192, 192};
  Rgb XH_COLOUR{200, 0, 0};

  int XGRAYED = 1;
  int XMAXCOMMIT = 0;
  int XCOMMITCOUNT = 0;
  int XCOMMITALL = 0;
  std::array<int, 2> XMULTITASK{1, 3};  // {calls counted, work every n-th call}
  int XINMULTITASK = 0;
  int XDGROUPLIMIT = 10000;
  int XDLGSIZE = 0;
  int XFLAT_SHOW = 1;
  int XSIM_PRINT = 1;
  int XREFRESH_BROWSE = 1;
  std::string XSEL_DATE;
  int XWS_SOCKET = 4129;
  int XFIESTAHOUSECOUNT = 0;

  // Word index.
  std::vector<std::pair<std::string, std::string>> XTXT_SRCH_FILES;  // {TABLA, DOCUMENTO}
  std::unique_ptr<TXT_SRCH> XTXT_SRCH_OBJ;
  std::vector<TextSearchSlot> XTXT_SRCH_VECTOR = std::vector<TextSearchSlot>(5000);

  std::vector<std::pair<int, std::string>> XFILES_AREA;  // {work area, file name}
  std::string XLOGOFILE;
  int IN_CH_STRUC = 0;
  bool XINERRORSYS = false;
};

// The process's settings.
Globals& G();
// Replaces the settings with a fresh set (closing every open table first).
void ResetGlobals();

// True when the server engine ("ADSCDX") is in use.
bool IsServerEngine();
// ADS.DEF line `n` (1-based) begins with `text`.
bool AdsLineIs(int n, const std::string& text);

// Text helpers the settings code and the data layer share.
std::string Trim(const std::string& s);
std::string RTrim(const std::string& s);
std::string Upper(std::string s);
std::string PadRight(const std::string& s, size_t n, char fill = ' ');  // pads or cuts
std::string PadLeft(const std::string& s, size_t n, char fill = ' ');  // pads or cuts (keeps right)
bool StartsWith(const std::string& s, const std::string& prefix);
bool EqualsNoCase(const std::string& a, const std::string& b);

}  // namespace qz
