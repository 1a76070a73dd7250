#include "lib/data/file_utils.h"

#include <unistd.h>

#include <cstdio>

#include "lib/data/use.h"
#include "lib/data/work_areas.h"
#include "lib/errors/error_handler.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/settings/multitask.h"

namespace qz {
namespace {

xb::Env* Fs() {
  return xb::Env::Default();
}

std::string WithSlash(std::string f) {
  f = NormalizeFolder(f);
  if (!f.empty() && f.back() != '/') f += '/';
  return f;
}

std::string Stem(const std::string& path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find('.', slash == std::string::npos ? 0 : slash + 1);
  return dot == std::string::npos ? path : path.substr(0, dot);
}

void CreateLike(const xb::Table& like, const std::string& path) {
  xb::CreateOptions co;
  co.codepage = like.codepage();
  auto t = xb::Table::Create(path, like.fields(), co);
  if (!t.ok()) ThrowFault(kGenCreate, t.status().message(), path, "COPY STRUCTURE");
}

}  // namespace

bool IS_FILE(void*, const std::string& name, const std::string& folder) {
  return Fs()->Resolve(G().PATH + WithSlash(folder) + Trim(name) + ".DBF").ok();
}

void COPY_STRUC(void*, WDBTable& t, const std::string& new_name, const std::string& folder) {
  CreateLike(t.table(), G().PATH + WithSlash(folder) + Trim(new_name));
}

void COPY_ST2(void*, int area, const std::string& new_name, const std::string& folder) {
  xb::Table* t = Areas().TableOf(area);
  if (!t) ThrowFault(kGenCreate, "Área sin tabla", "", "COPY STRUCTURE");
  CreateLike(*t, G().PATH + WithSlash(folder) + Trim(new_name));
}

void DUP_FILE(void*, const std::string& template_name, const std::string& new_name,
              const std::string& folder) {
  std::string tmpl = G().PATH + "PROFILE/" + Trim(template_name);
  if (tmpl.find('.', tmpl.find_last_of('/')) == std::string::npos) tmpl += ".DBF";
  auto t = xb::Table::Open(tmpl, xb::OpenOptions{nullptr, true, false, false, false});
  if (!t.ok()) ThrowFault(kGenOpen, t.status().message(), tmpl, "DUP_FILE", kOsNotFound);
  std::string target = WithSlash(folder) + Trim(new_name);
  if (target.find('.', target.find_last_of('/')) == std::string::npos) target += ".DBF";
  CreateLike(**t, target);
  auto cdx = Fs()->Resolve(Stem(tmpl) + ".CDX");
  if (cdx.ok() && COPY_BFILE(*cdx, Stem(target) + ".CDX") != kCopyOk)
    ThrowFault(kGenCreate, "No se puede copiar CDX: " + *cdx + " a " + Stem(target) + ".CDX",
               target, "DUP_FILE");
}

int COPY_BFILE(const std::string& source, const std::string& target, int pump) {
  auto in = Fs()->Open(source, xb::OpenMode::kReadOnly);
  if (!in.ok()) return kCopySourceNotOpened;
  std::string partial = target + ".~" + std::to_string(getpid());
  auto out = Fs()->Create(partial, true);
  if (!out.ok()) return kCopyTargetNotCreated;
  char block[500];
  uint64_t at = 0;
  for (;;) {
    size_t got = 0;
    if (!(*in)->ReadAt(at, block, sizeof block, &got).ok()) {
      // A source that cannot be read to its end is not copied.
      out->reset();
      Fs()->Remove(partial);
      return kCopyShortWrite;
    }
    if (got == 0) break;
    if (!(*out)->WriteAt(at, block, got).ok()) {
      out->reset();
      Fs()->Remove(partial);
      return kCopyShortWrite;
    }
    at += got;
    if (pump > 0) MULTITASK(pump, true);
  }
  bool synced = (*out)->Sync().ok();
  out->reset();
  if (!synced || !Fs()->Rename(partial, target).ok()) {
    Fs()->Remove(partial);
    return kCopyShortWrite;
  }
  return kCopyOk;
}

void COPY_REC1(WDBTable& t, std::vector<xb::Value>* values) {
  values->clear();
  for (int i = 1; i <= t.FCount(); ++i) values->push_back(t.FieldGet(i));
}

void COPY_REC2(WDBTable& t, const std::vector<xb::Value>& values) {
  int n = std::min<int>(t.FCount(), static_cast<int>(values.size()));
  for (int i = 1; i <= n; ++i) t.FieldPut(i, values[i - 1]);
}

void RemoveTableFiles(const std::string& path) {
  std::string stem = Stem(path);
  for (const std::string& p : {path, stem + ".FPT", stem + ".CDX"}) {
    auto r = Fs()->Resolve(p);
    if (r.ok()) Fs()->Remove(*r);
  }
}

void SAVE_PACK(void*, const std::string& name,
               const std::function<void(const std::string&)>& show_progress, bool is_template) {
  std::string path = G().PATH + (is_template ? "PROFILE/" : "BASES/") + Trim(name);
  xb::OpenOptions oo;
  oo.exclusive = true;
  auto t = xb::Table::Open(path, oo);
  while (!t.ok()) {
    // Not the handler's soft sharing failure: nobody retries this open for
    // us, and the user must learn that the table was not optimised.
    ErrorInfo e;
    e.gen_code = kGenOpen;
    e.os_code = t.status().IsBusy() ? kOsSharingViolation : kOsNotFound;
    e.subsystem = G().DEF_RDD;
    e.description = "No se puede abrir archivo: " + path + " (" + t.status().message() + ")";
    e.filename = path;
    e.operation = "SAVE_PACK";
    e.can_retry = true;
    e.can_default = true;
    StepFailed(e);  // returns on "Reintentar"
    t = xb::Table::Open(path, oo);
  }
  if (show_progress) show_progress(Trim(name));
  xb::Status s = (*t)->Pack();  // rebuilds every tag from the packed records
  if (s.ok()) s = (*t)->Close();
  if (!s.ok()) ThrowFault(kGenWrite, s.message(), path, "SAVE_PACK");
}

const std::vector<std::string>& PayrollTablesToOptimize() {
  static const std::vector<std::string> kTables = {
      "ENC_PERS", "DET_PERS", "DET_PER2", "DET_PER3", "H_E_PERS", "H_D_PERS", "H_D_PER2",
      "H_D_PER3", "H_D_PER4", "H_D_PER5", "H_D_PER6", "H_D_PER7", "H_D_PER8", "H_D_PER9",
      "LIQ_PERS", "DET_REL4", "RELOJ",    "DET_REL3", "FERIADOS", "PERMISOS", "PER_E_SE",
      "PER_E_SF", "RELOJ",    "DET_REL2", "PERF_E_S", "ACCIONES", "TIP_ACC",  "TIP_ACC2",
      "ACCI_OLD", "ENC_VAC",  "DET_VAC",  "TIP_PLA",  "H_TIP_PL", "ENC_TIP",  "DET_TIP",
      "H_E_TIP",  "H_D_TIP",  "ENC_DEPT", "DET_DEPT", "DET_DEP2", "H_E_DEPT", "H_D_DEPT",
      "H_D_DEP2", "CONJ_COL", "H_CONJ_C", "TIEMPO_E", "H_TIEM_E", "TIP_TRAN", "H_TIP_TR",
      "F_PLAN",   "F_PLAN2",  "F_PLAN3",  "F_PLAN4",  "F_PLAN5",  "F_PLAN6",  "F_PLAN7",
      "TRANS_B",  "ENC_REPP", "DET_REPP", "T_PROV",   "CONCEPTT", "CONCEPTD", "DEUDORES",
      "ENC_DDA",  "DET_DDA"};
  return kTables;
}

}  // namespace qz
