// The shell's own small screens reached from "&Archivo" and "Acerca de":
// the installation parameters (SYS_DB), the data fonts (SYS_FONT), the
// clock choice (FEC_HORA), the server information ("ADS Config."), and the
// log viewers (log_viewers.h).
#pragma once

#include "shell/log_viewers.h"

namespace qz {

class Desktop;

// "Parámetros Manipulación DB": edits the F_SYS row and refreshes the
// globals at once.
void DEF_SYSDB(Desktop& desktop);
// "Fuente Despliegue de Datos".
void DEF_SYSFONT(Desktop& desktop);
// "Acceso Fecha/Hora": XFEC_HORA_LOCAL (always the workstation clock).
void FEC_HORA(Desktop& desktop);
// "ADS Config.": the server's sessions, version, locking scheme and cache.
void ADS_xINFO();

// The numbers of a number box: digits only, thousands separators removed.
double NumberBoxValue(const std::string& text);

}  // namespace qz
