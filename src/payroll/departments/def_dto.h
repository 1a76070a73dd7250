// The department editor (DEF_DTO, template "DEF_DEPTO"): the header (code,
// description, payroll type, currency, working day, flags) and six pages:
// the three column sections ("Salario", "Deducciones", "Rebajas": columns
// available, chosen, their order, column sets and a set's members), the
// print options, the accounting (links, per-column links, provisions, the
// cost-centre split) and other data. Everything is edited in the window's
// own scratch state and written on "Aceptar" in one transaction; while the
// editor is open the departments list is disabled.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/ui/wdiag.h"
#include "payroll/departments/dept_data.h"

namespace qz {

class BROW_DTO;

namespace def_dto {
// Header.
constexpr int kCodigo = 500, kDescrip = 501, kTipo = 502, kMoneda = 503;
constexpr int kHoraIni = 504, kHoraFin = 505, kUnidad = 506;
constexpr int kDeptoHora = 510, kInactivo = 511, kInacUCon = 512, kOtroFacto = 513, kDepExtra = 514;
// Column sections: control = section base + offset; bases 600, 620, 640.
constexpr int kSectionBase[3] = {600, 620, 640};
constexpr int kDisponibles = 1, kColumnas = 2, kOrden = 3, kConjuntos = 4, kDetalle = 5;
constexpr int kIncluir = 6, kExcluir = 7, kUp = 8, kDown = 9;
constexpr int kSetAdd = 10, kSetDel = 11, kSetMod = 12, kIntoSet = 13, kOutOfSet = 14;
// Print options: flag, picture, label of each total.
constexpr int kTotSal = 520, kTotSal2 = 523, kTotDed = 526, kTotReb = 529, kDeducible = 532;
constexpr int kLogoComp = 535, kLogoFile = 536, kFinAccion = 537, kFinLiq = 538;
constexpr int kNota1 = 539, kNota2 = 540, kNota3 = 541, kNotas = 542;
// Accounting.
constexpr int kLigaCont = 550, kDebRet = 553, kCredRet = 556;  // edit; +1 "...", +2 description
constexpr int kCCosto = 559, kCecos = 560;
constexpr int kLigasColumna = 561, kLigaColumna = 562;
constexpr int kProvisiones = 563, kProvAdd = 564, kProvMod = 565, kProvDel = 566;
constexpr int kCentros = 567, kCentroAdd = 568, kCentroMod = 569, kCentroDel = 570;
// Other data.
constexpr int kSerial = 580, kSerialEmp = 581, kCantPers = 582, kColLibre = 583;

constexpr const char* kAlreadyIncluded = "Ésta Columna ya ha sido Incluida anteriormente";
constexpr const char* kNoCurrency = "Debe definir el tipo de moneda";
constexpr const char* kNoPayrollType = "Debe definir el tipo de planilla";
constexpr const char* kNoCode = "Falta definir el código de la planilla";
constexpr const char* kEmptySet = "No se pueden almacenar conjuntos vacios";
constexpr const char* kCodeExists = "El código ya existe";
constexpr const char* kNoLink = "Falta definir la liga contable";
constexpr const char* kDuplicateCentre =
    "No es permitido duplicar centros de costos\r\nEl código de centros de costo seleccionado ya "
    "existe";
constexpr const char* kLoading = "Un momento por favor...";
}  // namespace def_dto

class DEF_DTO : public WDIAG {
 public:
  // `mode` 0 = add, 1 = modify record `recno` of the list's table.
  DEF_DTO(BROW_DTO& parent, const std::string& template_name, const std::string& business,
          int mode, uint32_t recno);
  ~DEF_DTO() override;

  bool Init();
  void PROCESAR();  // "&Aceptar"
  void Terminar(int result);
  void CerrarBases();

  // Column sections (s = 0 salary, 1 deductions, 2 rebates); each acts on
  // the entry selected in its list.
  void Incluir(int s);
  void Excluir(int s);
  void Up(int s);
  void Down(int s);
  void SetAdd(int s);
  void SetDelete(int s);
  void SetModify(int s);
  void IntoSet(int s);
  void OutOfSet(int s);
  // Accounting.
  void PickHeaderLink(int edit_id);
  void PickColumnLink();
  void ProvisionEdit(bool add);
  void ProvisionDelete();
  void CentreEdit(bool add);
  void CentreDelete();

  dept::DeptScratch& scratch() { return scratch_; }
  int mode() const { return tipo_; }
  const std::string& business() const { return negocio_; }

 private:
  bool Open();
  void Register();
  void FillCombos();
  void LoadRow();
  void LoadNew();
  void WriteHeader(xb::Table& t);
  bool Valid();
  // Redraws the lists of section `s` (and the per-column links).
  void ShowSection(int s);
  void ShowSets(int s, const std::string& select);
  void ShowDetail(int s);
  void ShowLinks();
  void ShowProvisions();
  void ShowCentres();
  void ShowLinkDescrip(int edit_id);
  // The selected entry of list `id` (-1 = none) and its cargo.
  int SelectedIndex(int id) const;
  std::string SelectedCargo(int id) const;
  void SelectOnly(int id, int index);
  std::string TypeDescrip(const std::string& column) const;
  bool IsSeparator(const std::string& column) const;
  // The split editor and set dialog; false when cancelled.
  bool CentreDialog(dept::CentreShare& c, int index);
  bool SetDialog(dept::ColumnSet& set);
  bool ProvisionDialog(dept::Provision& p);

  BROW_DTO& parent_;
  std::string negocio_;
  int tipo_;
  uint32_t recno_;
  std::string codigo_;  // the code loaded (modify), as stored
  TablePtr tip_pla_, monedas_, c_costos_, ligas_, t_prov_;
  std::vector<dept::ColumnTypeInfo> types_;
  dept::DeptScratch scratch_;
  bool parent_disabled_ = false;
};

}  // namespace qz
