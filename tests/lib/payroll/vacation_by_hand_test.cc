// The vacation days and provision of three demo employees, one on a monthly,
// one on a bi-weekly and one on a weekly payroll, worked out here from the
// demo's own rows (their vacation type, schedule, payroll lines and the
// payroll-type copies) and compared with CALC_VAC.
//
// The rules as this system applies them: service in whole years and months
// up to the cut-off (the last day of the month before the reference date);
// each year earns the D_ANHO of the row in force when it began (the last row
// whose MES has been reached), the remaining months the D_MES of the row in
// force after the whole years; a month's accrual is the D_MES of the row in
// force in it. The pending days are placed in the months they were earned,
// newest first; the days being taken now are valued, oldest of those months
// first, at each month's daily salary (the average over its lines of
// TOT_SAL / VAL_DIV of the line's payroll-type copy).
#include "lib/payroll/calc_vac.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "demo_payroll_fixture.h"

namespace {

struct Row {
  double mes, d_mes, d_anho;
};

struct Ymd {
  int y, m, d;
};
Ymd Split(int32_t jd) {
  Ymd r{};
  xb::YmdFromJulian(jd, &r.y, &r.m, &r.d);
  return r;
}
int MonthKey(int32_t jd) {
  Ymd t = Split(jd);
  return t.y * 12 + t.m - 1;
}

class VacationByHandTest : public qztest::DemoPayrollTest {
 protected:
  struct Employee {
    std::string code, depto, tipo_vac;
    int32_t inicio = 0;
    double schedule = 0;
  };
  struct Line {
    int32_t fecha;
    double tot_sal, val_div;
  };
  struct Expected {
    double earned, taken, pending, provision;
  };

  void SetUp() override {
    DemoPayrollTest::SetUp();
    int32_t newest = 0;
    Each("H_E_DEPT", "H_E_DEPT4", negocio, [&](xb::Table& h) { newest = Date(h, "FECHA"); });
    Ymd n = Split(newest);
    cutoff = xb::JulianFromYmd(n.y + n.m / 12, n.m % 12 + 1, 1) - 1;
    reference = cutoff + 1;
  }

  // The first active employee of `depto` in code order who started at least
  // `months` months before the cut-off.
  Employee Pick(const std::string& depto, int months) {
    Employee e;
    Each("ENC_PERS", "ENC_PERS", negocio + Pad(depto, 15), [&](xb::Table& t) {
      if (!e.code.empty() || Num(t, "ACTIVO") != 1) return;
      const int32_t inicio = Date(t, "F_INICIO");
      if (inicio == 0 || MonthKey(cutoff) - MonthKey(inicio) < months) return;
      e.code = Text(t, "CODIGO");
      e.depto = Text(t, "DEPTO");
      e.tipo_vac = Text(t, "TIPO_VAC");
      e.inicio = inicio;
      const std::string schedule = Text(t, "COD_TIEMPO");
      Each("TIEMPO_E", "TIEMPO_E", negocio + schedule,
           [&](xb::Table& s) { e.schedule = Num(s, "FACTOR"); });
    });
    EXPECT_FALSE(e.code.empty()) << depto;
    return e;
  }

  std::vector<Row> Rows(const std::string& tipo) {
    std::vector<Row> rows;
    Each("DET_VAC", "DET_VAC", negocio + Pad(tipo, 4), [&](xb::Table& t) {
      rows.push_back({Num(t, "MES"), Num(t, "D_MES"), Num(t, "D_ANHO")});
    });
    return rows;
  }
  static const Row* InForce(const std::vector<Row>& rows, double months) {
    const Row* best = nullptr;
    for (const Row& r : rows)
      if (r.mes <= months && (!best || r.mes >= best->mes)) best = &r;
    return best;
  }
  // The days accrued in the month `key` (its last day is a month end, so the
  // day rule never takes a month off).
  static double Accrued(const std::vector<Row>& rows, int32_t inicio, int key) {
    const int months = key - MonthKey(inicio);
    if (months <= 0) return 0;
    const Row* r = InForce(rows, months - 1);
    return r ? r->d_mes : 0;
  }

  // The employee's lines in date order, each with its payroll-type copy's
  // VAL_DIV.
  std::vector<Line> Lines(const Employee& e) {
    std::vector<Line> lines;
    Each("H_E_PERS", "H_E_PERS8", negocio + e.code, [&](xb::Table& l) {
      const std::string f = xb::DtosFromJulian(Date(l, "FECHA"));
      const std::string d = Text(l, "DEPTO");
      std::string tipo;
      Each("H_E_DEPT", "H_E_DEPT2", negocio + d + f, [&](xb::Table& h) { tipo = Text(h, "TIPO"); });
      double val_div = 0;
      Each("H_TIP_PL", "H_TIP_PL", negocio + d + tipo + f,
           [&](xb::Table& t) { val_div = Num(t, "VAL_DIV"); });
      lines.push_back({Date(l, "FECHA"), Num(l, "TOT_SAL"), val_div});
    });
    return lines;
  }

  // Vacation hours recorded in the employee's paid-vacation column.
  double HoursTaken(const Employee& e) {
    double hours = 0;
    Each("H_D_PERS", "H_D_PERS3", negocio + e.code + "1", [&](xb::Table& v) {
      if (Date(v, "FECHA") >= e.inicio) hours += Num(v, "VALOR_1");
    });
    return hours;
  }
  // Records `hours` of vacation on the employee's first payroll after `after`.
  void TakeVacation(const Employee& e, int32_t after, double hours) {
    bool done = false;
    Update("H_D_PERS",
           [&](xb::Table& v) {
             if (done || Text(v, "CODIGO") != e.code || Text(v, "VACACION") != "1" ||
                 Date(v, "FECHA") <= after)
               return false;
             return done = true;
           },
           "VALOR_1", xb::Value::Number(hours));
    ASSERT_TRUE(done) << e.code;
  }

  Expected ByHand(const Employee& e, double current_days) {
    const std::vector<Row> rows = Rows(e.tipo_vac);
    EXPECT_FALSE(rows.empty());
    Expected x{};
    // Days earned.
    const int months = MonthKey(cutoff) - MonthKey(e.inicio);
    const int years = months / 12, rest = months % 12;
    for (int i = 0; i < years; ++i) x.earned += InForce(rows, 12.0 * i)->d_anho;
    x.earned += rest * InForce(rows, 12.0 * years)->d_mes;
    x.taken = HoursTaken(e) / e.schedule;
    x.pending = x.earned - x.taken;
    if (x.pending <= 0 || current_days <= 0) return x;

    // Place the pending days in the months they were earned, newest first.
    std::vector<Line> lines = Lines(e);
    while (!lines.empty() && lines.back().fecha > cutoff) lines.pop_back();
    if (lines.empty()) return x;
    double p = x.pending;
    for (int key = MonthKey(cutoff); key > MonthKey(lines.back().fecha) && p > 0; --key)
      p -= std::min(Accrued(rows, e.inicio, key), p);
    int oldest = -1;
    for (size_t i = lines.size(); i-- > 0 && p != 0;) {
      const int key = MonthKey(lines[i].fecha);
      if (key != oldest) p -= std::min(Accrued(rows, e.inicio, key), p);
      oldest = key;
    }
    // Value the current days from that month on.
    double q = current_days;
    for (int key = oldest; q != 0; ++key) {
      double per_day = 0;
      int n = 0;
      bool any = false;
      for (const Line& l : lines) {
        if (MonthKey(l.fecha) != key) continue;
        any = true;
        if (l.val_div > 0) per_day += l.tot_sal / l.val_div, ++n;
      }
      if (!any) break;
      const double a = std::min(Accrued(rows, e.inicio, key), q);
      q -= a;
      if (n > 0) x.provision += per_day / n * a;
    }
    return x;
  }

  void Check(const std::string& depto, double pending_wanted, int service_months = 20) {
    SCOPED_TRACE(depto);
    const Employee e = Pick(depto, service_months);
    ASSERT_FALSE(e.code.empty());
    ASSERT_GT(e.schedule, 0);
    // Vacation taken early in the year leaves `pending_wanted` days.
    const Expected before = ByHand(e, 0);
    TakeVacation(e, xb::JulianFromYmd(Split(cutoff).y - 1, Split(cutoff).m, 1),
                 (before.earned - pending_wanted) * e.schedule);
    const double hours_now = 2 * e.schedule, unit_cost = 1500;  // two days being taken
    const Expected x = ByHand(e, 2);
    EXPECT_NEAR(x.pending, pending_wanted, 1e-6);
    ASSERT_GT(x.provision, 0);

    qz::CALC_VAC::Bases bases{};
    auto enc_pers = qz::USE(nullptr, "ENC_PERS", "ENC_PERS2");
    ASSERT_TRUE(enc_pers->table().Seek(xb::Value::Char(negocio + e.code)).ok());
    ASSERT_TRUE(enc_pers->table().Found());
    bases[qz::CALC_VAC::kEncPers] = &enc_pers->table();
    qz::CALC_VAC calc(negocio, nullptr, bases, reference);
    EXPECT_EQ(calc.xfecha_calculo, cutoff);
    ASSERT_TRUE(calc.CALCULAR(e.code, hours_now, unit_cost).ok());
    const auto& r = calc.a_registro();
    EXPECT_NEAR(r.ganados, x.earned, 1e-6);
    EXPECT_NEAR(r.tomados, x.taken, 1e-6);
    EXPECT_NEAR(r.pendientes, x.pending, 1e-6);
    EXPECT_NEAR(calc.GET_M_PROVISIONADO(), x.provision, 0.005);
    EXPECT_NEAR(calc.GET_M_ACTUAL(), hours_now * unit_cost, 1e-6);
    EXPECT_NEAR(calc.GET_AJUSTE_POR_VACACIONES(), std::max(0.0, x.provision - hours_now * unit_cost),
                0.005);
    calc.KILL_BASES();
    qz::KILLTABLA(enc_pers);
  }

  int32_t cutoff = 0, reference = 0;
};

// Two and a half days pending: placed in the last three months; the two
// days taken now are valued at the daily salaries of the oldest two.
TEST_F(VacationByHandTest, AMonthlyPayroll) {
  Check("ADM", 2.5);
}

TEST_F(VacationByHandTest, ABiWeeklyPayroll) {
  Check("REC", 2.5);
}

TEST_F(VacationByHandTest, AWeeklyPayroll) {
  Check("COC", 2.5);
}

// More pending than the history holds: every month is reached and the
// current days are valued from the oldest payroll on.
TEST_F(VacationByHandTest, PendingBeyondTheHistory) {
  Check("COC", 40, 50);
}

}  // namespace
