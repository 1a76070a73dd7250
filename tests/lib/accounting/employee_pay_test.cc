// The expense distribution and the SAP journal book the same payroll: for
// each employee of a department they must find the same people and the same
// salary income, non-deductible income, withholdings and deductions (the
// journal pays each column whole cents, the distribution does not).
#include <gtest/gtest.h>

#include <map>

#include "lib/accounting/expense_pay.h"
#include "lib/accounting/sap_run.h"
#include "lib/ui/catalog_data.h"
#include "support/sap_payroll.h"

namespace qztest {
namespace {

class EmployeePayTest : public SapPayrollSession {
 protected:
  void SetUp() override {
    SapPayrollSession::SetUp();
    Create("DET_PER3");
  }
};

TEST_F(EmployeePayTest, DistributionAndJournalComputeEachEmployeeAlike) {
  // An employee-level row makes the journal keep each employee's totals.
  std::vector<qz::SapMapRow> mapping = Mapping();
  mapping.push_back(Map("_1", 0, qz::kSapDetallado, "2-09", "DETALLE", 10));
  qz::SapRequest r;
  r.negocio = "HOTEL CENTRAL";
  r.departamentos = {"D1"};
  r.corte = kSapCut;
  r.moneda = "CR";
  const qz::SapComputation journal = qz::ComputeCurrentSap(r, mapping);
  ASSERT_TRUE(journal.problems.empty());
  std::map<std::string, qz::SapTotals> booked;
  for (const auto& e : journal.employees) booked[e.codigo] = e.totals;

  qz::ExpenseTables t;
  const qz::ExpenseDepartment d =
      qz::ReadExpenseDepartment(t["ENC_DEPT"], t["TIP_PLA"], "HOTEL CENTRAL", "D1");
  ASSERT_TRUE(d.found);
  qz::ExpensePayCalculator calc(t, "HOTEL CENTRAL", d, kSapCut);
  xb::Table& e = t["ENC_PERS"];
  std::map<std::string, qz::EmployeePay> distributed;
  for (xb::Status s = e.GoTop(); s.ok() && !e.Eof(); s = e.Skip(1))
    if (qz::FieldText(e, "DEPTO") == "D1" && qz::EmployeeIncluded(t, "HOTEL CENTRAL", kSapCut))
      distributed[qz::FieldText(e, "CODIGO")] = calc.Compute();

  // The retired E3 is on both; the immediate retirement E4 and E5, hired
  // after the pay date, on neither.
  ASSERT_EQ(distributed.size(), 3u);
  ASSERT_EQ(booked.size(), distributed.size());
  for (const auto& [code, pay] : distributed) {
    SCOPED_TRACE(code);
    ASSERT_TRUE(booked.count(code));
    const qz::SapTotals& b = booked[code];
    EXPECT_NEAR(pay.s, b.i_total, 0.005);
    EXPECT_NEAR(pay.n, b.ind_total, 0.005);
    EXPECT_NEAR(pay.r, b.r_total, 0.005);
    EXPECT_NEAR(pay.d, b.d_total, 0.005);
  }
  // E1: salary 1,000, a non-deductible bonus of 100, 50 withheld, and 10 %
  // social charges on the salary income.
  EXPECT_NEAR(distributed["E1"].s, 1000, 1e-9);
  EXPECT_NEAR(distributed["E1"].n, 100, 1e-9);
  EXPECT_NEAR(distributed["E1"].r, 50, 1e-9);
  EXPECT_NEAR(distributed["E1"].d, 100, 1e-9);
}

}  // namespace
}  // namespace qztest
