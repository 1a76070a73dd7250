#include "lib/accounting/sap_print.h"

#include "lib/accounting/sap_lines.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

constexpr int kWidth = 160;
constexpr int kAmountWidth = 14;
constexpr int kDebito = 103, kCredito = 118;

void Amounts(PageWriter& w, double debito, double credito, int style) {
  w.SayAligned(kDebito, kAmountWidth, SapAmountText(debito), PrintAlign::kRight, style);
  w.SayAligned(kCredito, kAmountWidth, SapAmountText(credito), PrintAlign::kRight, style);
}

}  // namespace

std::string SapAmountText(double amount) {
  return FormatNumber(amount, "999,999,999.99");
}

PrintDocument SapJournalDocument(const std::vector<SapLine>& lines, const std::string& referencia) {
  PageWriter w("Reporte de Facturación", 66, kWidth, true);
  w.UseReportFrame({"Asiento Contable S.A.P", referencia}, "");
  w.SetHeader([](PageWriter& p, int) {
    p.Say(0, "Descripción", PageWriter::kBold);
    p.Say(40, "CeCos", PageWriter::kBold);
    p.Say(61, "Cuenta", PageWriter::kBold);
    p.Say(82, "Referencia", PageWriter::kBold);
    p.SayAligned(kDebito, kAmountWidth, "        Debito", PrintAlign::kRight, PageWriter::kBold);
    p.SayAligned(kCredito, kAmountWidth, "       Credito", PrintAlign::kRight, PageWriter::kBold);
    p.Say(133, "Nota", PageWriter::kBold);
    p.RuleBelow(0, kWidth);
    p.NewLine();
  });
  const std::vector<SapBlockTotal> blocks = SapBlockTotals(lines);
  size_t block = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const SapLine& l = lines[i];
    w.Say(0, xb::ToUtf8(l.rotulo));
    w.Say(40, xb::ToUtf8(l.ce_cos));
    w.Say(61, xb::ToUtf8(l.cuenta));
    w.Say(82, referencia);
    Amounts(w, l.debito, l.credito, PageWriter::kPlain);
    w.Say(133, xb::ToUtf8(l.rotulo2));
    w.NewLine();
    const bool last_of_block = i + 1 == lines.size() || SapLineKey(lines[i + 1]).substr(0, 10) !=
                                                            SapLineKey(l).substr(0, 10);
    if (!last_of_block) continue;
    w.RuleBelow(kDebito, kWidth);
    w.NewLine();
    if (block < blocks.size()) Amounts(w, blocks[block].debito, blocks[block].credito, PageWriter::kBold);
    ++block;
    w.NewLine();
    if (i + 1 < lines.size()) w.NewPage();
  }
  PrintDocument doc = w.Finish();
  doc.title = "Reporte de Facturación";  // what the print queue shows
  return doc;
}

}  // namespace qz
