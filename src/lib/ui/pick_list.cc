#include "lib/ui/pick_list.h"

#include <memory>

#include "lib/ui/browse.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

enum : int {
  kSearchText = 501,
  kSearchButton = 201,
  kByCode = 1001,
  kByDescrip = 1002,
  kGrid = 700,
};

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string FieldText(xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  if (!v.ok() || !v->is_char()) return "";
  return Trimmed(xb::ToUtf8(v->str()));
}

// Puts a caller's table back as it was: order, scope and record.
class TableState {
 public:
  explicit TableState(xb::Table* t)
      : t_(t), order_(t->Order()), scope_(t->SavedScope()), recno_(t->Eof() ? 0 : t->RecNo()) {}
  ~TableState() {
    t_->SetOrder(order_);
    t_->RestoreScope(scope_);
    if (recno_) {
      t_->GoTo(recno_);
    } else {
      t_->GoBottom();
      t_->Skip(1);
    }
  }

 private:
  xb::Table* t_;
  std::string order_;
  xb::Table::ScopeKeys scope_;
  uint32_t recno_;
};

PickChoice ChoiceHere(const PickSource& s) {
  return {FieldText(*s.table, s.code_field), FieldText(*s.table, s.descrip_field),
          s.table->RecNo()};
}

}  // namespace

std::optional<PickChoice> PickLookup(const PickSource& s, const std::string& code) {
  if (!s.table || s.code_tag.empty()) return std::nullopt;
  int f = s.table->FieldIndex(s.code_field);
  if (f < 0) return std::nullopt;
  std::string key = xb::FromUtf8(code);
  if (!s.code_picture.empty() && s.code_picture[0] == '!') key = UpperCp1252(key);
  size_t width = s.table->fields()[f].len;
  if (key.size() > width) return std::nullopt;
  key.resize(width, ' ');
  TableState keep(s.table);
  if (!s.table->SetOrder(s.code_tag).ok() || !s.table->ClearScope().ok()) return std::nullopt;
  if (!s.table->Seek(xb::Value::Char(s.business + key)).ok() || !s.table->Found())
    return std::nullopt;
  return ChoiceHere(s);
}

std::optional<PickChoice> PickFromList(Desktop& desktop, WDIAG* owner, const PickSource& s,
                                       const std::string& start, bool by_description) {
  if (!s.table) return std::nullopt;
  TableState keep(s.table);
  std::unique_ptr<WBLISTBOX> grid;
  std::optional<PickChoice> chosen;
  bool by_descrip = by_description && !s.descrip_tag.empty();
  auto order = [&](WDIAG& d, bool descrip) {
    by_descrip = descrip && !s.descrip_tag.empty();
    d.SetCheck(by_descrip ? kByDescrip : kByCode, 1);
    grid->ClickHeader(by_descrip ? 1 : 0);
  };
  DIALOG_BOX(desktop, kPickTemplate, owner, [&](WDIAG& d, int msg, int64_t wp, int64_t) {
    if (msg == kWmInitDialog) {
      d.SetTitle(s.title);
      grid = std::make_unique<WBLISTBOX>(d, kGrid, s.table);
      // The grid goes with its window (after the window system's view).
      d.OnNCDestroy = [&grid] { grid.reset(); };
      grid->SHOWNUMBERS = false;
      grid->AUTOSIZE = true;
      grid->USERMOVE = false;
      grid->AddColumn("Código", s.code_field, s.code_picture);
      grid->AddColumn("Descripción", s.descrip_field, s.descrip_picture);
      std::vector<std::pair<int, std::string>> marks = {{1, s.code_tag}};
      if (!s.descrip_tag.empty()) marks.emplace_back(2, s.descrip_tag);
      grid->BROWMARKS(marks, by_descrip ? 2 : 1, s.business);
      d.SetCheck(by_descrip ? kByDescrip : kByCode, 1);
      d.EnableControl(kByDescrip, !s.descrip_tag.empty());
      if (!start.empty()) {
        d.SetText(kSearchText, start);
        grid->SeekText(start);
      }
      d.SetFocus(kGrid);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    switch (wp) {
      case kByCode:
      case kByDescrip:
        order(d, wp == kByDescrip);
        return 1;
      case kSearchButton:
        grid->SeekText(d.Text(kSearchText));
        return 1;
      case 1:
        if (grid->current() < 0) return 1;  // nothing to pick: stay
        s.table->GoTo(grid->RecNoAt(grid->current()));
        chosen = ChoiceHere(s);
        d.ENDDIALOG(1);
        return 1;
      case 2:
        d.ENDDIALOG(2);
        return 1;
      default:
        return 1;
    }
  });
  return chosen;
}

PickField::PickField(WDIAG& form, int edit_id, int descrip_id, int button_id, PickSource source)
    : form_(form), edit_id_(edit_id), descrip_id_(descrip_id), source_(std::move(source)) {
  if (button_id) form_.ADD(button_id, [this] { Choose(); });
}

bool PickField::Validate(bool tell) {
  std::string code = Trimmed(form_.Text(edit_id_));
  if (code.empty()) {
    value_.reset();
    form_.SetText(descrip_id_, "");
    return optional;
  }
  value_ = PickLookup(source_, code);
  form_.SetText(descrip_id_, value_ ? value_->descrip : "");
  if (!value_ && tell) {
    MESSAGE_BOX(kPickUnknownCode, "Error", kMbIconStop);
    form_.SetFocus(edit_id_);
  }
  return value_.has_value();
}

bool PickField::Choose() {
  std::optional<PickChoice> c =
      PickFromList(form_.desktop(), &form_, source_, Trimmed(form_.Text(edit_id_)));
  if (!c) return false;
  value_ = c;
  form_.SetText(edit_id_, c->code);
  form_.SetText(descrip_id_, c->descrip);
  return true;
}

}  // namespace qz
