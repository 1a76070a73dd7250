#include "payroll/history/history_recalc_screen.h"

#include "lib/clock.h"
#include "lib/errors/error_handler.h"
#include "lib/payroll/history_hourly_cost.h"
#include "lib/payroll/history_summary.h"
#include "lib/ui/message_box.h"
#include "lib/ui/progress.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

// The payroll or line being worked on is shown at most this often: a new
// text for each of thousands of lines would cost more than the work.
constexpr int64_t kLineTextMs = 100;

}  // namespace

HistoryRecalcScreen::HistoryRecalcScreen(Desktop& desktop, const std::string& template_name,
                                         const std::string& business, const char* question,
                                         Recalc recalc)
    : ProcessScreen(desktop, template_name, business), question_(question), recalc_(recalc) {}

void HistoryRecalcScreen::Configure() {
  ADD(kAceptar, [this] { Procesar(); });
}

void HistoryRecalcScreen::Procesar() {
  const auto inicio = DateValue(kInicio), fin = DateValue(kFin);
  if (!inicio || !fin) return Refuse(kBadDate);
  if (MESSAGE_BOX(question_, "Advertencia", kMbOkCancel | kMbIconQuestion) != 1) return;

  HistoryRecalcRequest request;
  request.negocio = xb::ToUtf8(negocio_);
  request.range = {*inicio, *fin};
  HistoryRecalcResult result;
  const OperationResult run = RunOperation([&] {
    Progress progress(this, kHistoryRecalcWaitText);
    int64_t text_ms = 0;
    bool first = true;
    request.progress = [&](const std::string& text, int64_t done, int64_t total) {
      if (progress.total() != total) progress.SetTotal(total);
      const int64_t now = CurrentClock().TickMs();
      if (!text.empty() && (first || now - text_ms >= kLineTextMs)) {
        progress.SetText(text);
        text_ms = now;
        first = false;
      }
      return progress.Step(done - progress.done());
    };
    result = recalc_(request);
    progress.Close();
  });
  if (run != OperationResult::kDone) return;
  ShowHistoryRecalcResult(result);
  if (result.ok()) Terminar(kAceptar);
}

REC_HIST::REC_HIST(Desktop& desktop, const std::string& template_name, const std::string& business)
    : HistoryRecalcScreen(desktop, template_name, business, kRebuildSummaryQuestion,
                          RebuildColumnSummary) {}

REC_HIS2::REC_HIS2(Desktop& desktop, const std::string& template_name, const std::string& business)
    : HistoryRecalcScreen(desktop, template_name, business, kHourlyCostQuestion,
                          RecalcAverageHourlyCost) {}

}  // namespace qz
