#include "lib/install/demo/demo.h"

#include <cmath>

#include "lib/install/demo/demo_context.h"
#include "lib/install/table_maker.h"
#include "lib/payroll/money.h"

namespace qz {
namespace demo {

uint64_t Random::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int Random::Int(int lo, int hi) {
  if (hi <= lo) return lo;
  uint64_t span = static_cast<uint64_t>(hi - lo) + 1;
  return lo + static_cast<int>(Next() % span);
}

double Random::Real(double lo, double hi) {
  return lo + (hi - lo) * static_cast<double>(Next() >> 11) / 9007199254740992.0;
}

Context::Context(const std::string& dir, const Catalog& catalog, const DemoOptions& options,
                 DemoSummary* summary)
    : bases_(dir + "/BASES"),
      catalog_(catalog),
      options_(options),
      today_(Day::Ymd(options.year, options.month, options.day)),
      random_(options.seed),
      summary_(summary) {}

xb::Status UpdateRow(Context& c, const std::string& table, const std::string& business,
                     const std::function<void(xb::Table&)>& fill) {
  auto t = c.Open(table);
  if (!t.ok()) return t.status();
  std::string key = Cp1252(business);
  key.resize(15, ' ');
  XB_RETURN_IF_ERROR((*t)->GoTop());
  for (; !(*t)->Eof(); (*t)->Skip(1)) {
    auto negocio = (*t)->Get("NEGOCIO");
    if (!negocio.ok() || negocio->str() != key) continue;
    fill(**t);
    return (*t)->WriteBack();
  }
  return xb::Status::NotFound("demo: " + table + " has no row for " + business);
}

Context::~Context() {
  CloseAll();
}

xb::Result<xb::Table*> Context::Open(const std::string& table) {
  auto it = open_.find(table);
  if (it != open_.end()) return it->second.get();
  if (!catalog_.Find(table))
    return xb::Status::NotFound("demo: table " + table + " is not in the catalog");
  xb::OpenOptions o;
  o.exclusive = true;  // nobody else sees the installation while it is built
  o.env = options_.env;
  auto t = xb::Table::Open(xb::JoinPath(bases_, table + ".DBF"), o);
  if (!t.ok()) return t.status();
  xb::Table* raw = t->get();
  open_[table] = std::move(*t);
  return raw;
}

xb::Result<xb::Table*> Context::OpenIndexed(const std::string& table) {
  auto t = Open(table);
  if (!t.ok()) return t;
  const CatalogTable* def = catalog_.Find(table);
  if ((*t)->Tags().empty() && !def->tags.empty()) XB_RETURN_IF_ERROR(AddTags(*def, **t));
  return t;
}

xb::Status Context::Add(const std::string& table, const std::function<void(Row&)>& fill) {
  auto t = Open(table);
  if (!t.ok()) return t.status();
  Row r(**t);
  fill(r);
  XB_RETURN_IF_ERROR(r.Done());
  summary_->rows[table]++;
  return xb::Status::OK();
}

xb::Status Context::CloseAll() {
  xb::Status first;
  for (auto& [name, t] : open_) {
    xb::Status s = t->Close();
    if (first.ok()) first = s;
  }
  open_.clear();
  return first;
}

const ColumnType* Context::Column(const std::string& code) const {
  for (const auto& c : columns)
    if (c.code == code) return &c;
  return nullptr;
}

const PayrollType* Context::Type(const std::string& code) const {
  for (const auto& t : payroll_types)
    if (t.code == code) return &t;
  return nullptr;
}

const Schedule* Context::FindSchedule(const std::string& code) const {
  for (const auto& s : schedules)
    if (s.code == code) return &s;
  return nullptr;
}

std::vector<Day> PayrollDates(Day today, int kind, int quantity) {
  std::vector<Day> dates;
  Day first_of_month = Day::Ymd(today.year(), today.month(), 1);
  Day from = first_of_month;
  for (int m = 0; m < kHistoryMonths; ++m) {
    from = from.Plus(-1);
    from = Day::Ymd(from.year(), from.month(), 1);
  }
  for (Day d = from; d.jd < first_of_month.jd; d = d.Plus(1)) {
    bool month_end = d.Plus(1).day() == 1;
    if (kind == 1) {
      if ((d.jd + 1) % 7 == 5) dates.push_back(d);  // Fridays: (jd + 1) % 7 counts from Sunday
    } else if (month_end || (quantity == 2 && d.day() == 15)) {
      dates.push_back(d);
    }
  }
  return dates;
}

std::vector<Day> PayrollDates(const Context& c, const PayrollType& type) {
  return PayrollDates(c.today(), type.kind, type.quantity);
}

double HourlyFactor(const Business& b, double base, double divisor, double hours,
                    double multiplier) {
  CostRounding r;
  r.red_costo = b.cost_rounding ? 1 : 0;
  r.dec_costo = 2;
  return HourlyCostFactor(base, divisor, hours, multiplier, r);
}

const Business* Context::FindBusiness(const std::string& code) const {
  for (const auto& b : businesses)
    if (b.code == code) return &b;
  return nullptr;
}

}  // namespace demo

xb::Status CheckDemoOptions(const DemoOptions& options) {
  int y, m, d;
  int32_t jd = xb::JulianFromYmd(options.year, options.month, options.day);
  if (jd != 0) xb::YmdFromJulian(jd, &y, &m, &d);
  if (jd == 0 || y != options.year || m != options.month || d != options.day)
    return xb::Status::InvalidArgument("demo: " + std::to_string(options.day) + "/" +
                                       std::to_string(options.month) + "/" +
                                       std::to_string(options.year) + " is not a calendar date");
  if (options.employees < 10 || options.employees > 5000)
    return xb::Status::InvalidArgument("demo: between 10 and 5000 employees, not " +
                                       std::to_string(options.employees));
  return xb::Status::OK();
}

xb::Status LoadDemo(const std::string& dir, const Catalog& catalog, const DemoOptions& options,
                    const std::function<void(const std::string&)>& progress, DemoSummary* summary) {
  XB_RETURN_IF_ERROR(CheckDemoOptions(options));
  demo::Context c(dir, catalog, options, summary);
  struct Part {
    const char* name;
    xb::Status (*run)(demo::Context&);
  };
  const Part parts[] = {{"businesses and users", demo::AddBusinesses},
                        {"currencies", demo::AddCurrencies},
                        {"card-terminal stations", demo::AddStations},
                        {"catalogs", demo::AddCatalogs},
                        {"catalog editors", demo::AddCatalogEditorRows},
                        {"column types", demo::AddColumns},
                        {"parameter details", demo::AddParameterDetails},
                        {"column type examples", demo::AddColumnTypeExamples},
                        {"departments", demo::AddDepartments},
                        {"formats", demo::AddFormats},
                        {"personnel actions", demo::AddPersonnelActions},
                        {"employees", demo::AddEmployees},
                        {"bonus reductions", demo::AddBonusReductions},
                        {"accounting settings", demo::AddAccountingSettings},
                        {"employer report", demo::AddEmployerReport},
                        {"SAP journal mapping", demo::AddSapMapping},
                        {"cash boxes", demo::AddCash},
                        {"sales box", demo::AddSales},
                        {"hotel deposits", demo::AddDeposits},
                        {"word index", demo::AddWordIndex}};
  for (const auto& p : parts) {
    if (progress) progress(std::string("demo: ") + p.name);
    xb::Status s = p.run(c);
    if (!s.ok()) return s.With(std::string("demo, ") + p.name);
  }
  return c.CloseAll();
}

const DemoLogin* DemoLogins(int* count) {
  static const DemoLogin kLogins[] = {
      {"SUPER", "DEMO", "supervisor, every business"},
      {"PLANILLA", "DEMO", "payroll clerk: definitions and processes"},
      {"CONSULTA", "DEMO", "read-only look at the definitions"}};
  *count = 3;
  return kLogins;
}

}  // namespace qz
