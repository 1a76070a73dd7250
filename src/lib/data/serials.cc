#include "lib/data/serials.h"

#include <cmath>

#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/data/work_areas.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {

std::string g_last_serial;

std::string Format(WDBTable& t, double number) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.0f", std::floor(number));
  std::string n = buf;
  if (t.FieldGet("JUSTIFICA").number() == 0) {
    size_t width = static_cast<size_t>(std::max(0.0, t.FieldGet("INDENT").number()));
    if (n.size() < width) n = std::string(width - n.size(), '0') + n;
  }
  return PadRight(Trim(t.FieldGet("PREFIJO").str()) + n + Trim(t.FieldGet("POSFIJO").str()), 15);
}

bool SeekSerial(WDBTable& t, const std::string& negocio, const std::string& codigo) {
  t.SetOrder("SERIALES");
  if (!t.Seek(PadRight(negocio, 15) + std::string(10, ' ') + codigo)) return false;
  // The key is a prefix: FC must not find FC2.
  return Trim(t.FieldGet("CODIGO").str()) == Trim(codigo);
}

}  // namespace

std::string GET_NXSERIAL(void* parent, const std::string& negocio, const std::string& codigo,
                         WDBTable* seriales) {
  TablePtr own;
  if (!seriales) {
    own = USE(parent, "SERIALES");
    seriales = own.get();
  }
  AreaSelection keep(seriales->Area);
  std::string result = kNoSerial;
  if (SeekSerial(*seriales, negocio, codigo)) {
    LOCK_FOR_MODIFY(*seriales);
    // NUMERO is read under the lock: it is what the last workstation wrote.
    double next = seriales->FieldGet("NUMERO").number() + 1;
    result = Format(*seriales, next);
    seriales->FieldPut("NUMERO", xb::Value::Number(next));
    seriales->FieldPut("CURRENT_N", xb::Value::Char(result));
    UNLOCK_FOR_MODIFY(*seriales);
  }
  if (own) KILLTABLA(own);
  g_last_serial = PadRight(result, 15);
  return g_last_serial;
}

std::string GET_CURRENTSERIAL(void* parent, const std::string& negocio, const std::string& codigo) {
  TablePtr t = USE(parent, "SERIALES");
  std::string result = kNoSerial;
  if (SeekSerial(*t, negocio, codigo)) result = Format(*t, t->FieldGet("NUMERO").number() + 1);
  KILLTABLA(t);
  return PadRight(result, 15);
}

const std::string& LastSerialTaken() {
  return g_last_serial;
}

}  // namespace qz
