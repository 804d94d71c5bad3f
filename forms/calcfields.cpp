#include <string>

#include "forms/datasets.h"
#include "platform/trim.h"
#include "platform/win1250.h"

namespace forms {
namespace {

using platform::Trim;
using platform::TrimRight;

// Characters i to j (from 1), shortened at the end; empty when i lies beyond
// the end or j is below i.
std::string Chars(std::string_view s, int i, int j) {
  if (i < 1) i = 1;
  if (j < i || static_cast<size_t>(i) > s.size()) return {};
  const size_t len = std::min<size_t>(static_cast<size_t>(j - i + 1), s.size() - (i - 1));
  return std::string(s.substr(static_cast<size_t>(i - 1), len));
}

std::string Text(MemDataset& ds, const char* field) {
  return ds.FieldByName(field).AsString();
}
void Set(MemDataset& ds, const std::string& field, const std::string& value) {
  ds.FieldByName(field).SetAsString(value);
}

// Each character of `t` into the boxes base1..baseN.
void Boxes(MemDataset& ds, const std::string& base, const std::string& t, int count,
           int start = 1) {
  for (int i = 1; i <= count; ++i)
    Set(ds, base + std::to_string(i), Chars(t, start + i - 1, start + i - 1));
}

void AmountBoxes(MemDataset& ds, const char* field) {
  std::string t = PadLeft(Text(ds, field), 12, '0', false);
  size_t p = t.find('.');
  if (p == std::string::npos) p = t.find(',');
  const int pos = p == std::string::npos ? 0 : static_cast<int>(p) + 1;
  int start = 1;
  if (pos == 0) {
    t += ".00";
    start = 4;
  } else if (pos == 11) {
    t += "0";
    start = 2;
  }
  if (pos >= 1 && pos <= 9) t.insert(0, static_cast<size_t>(10 - pos), '0');
  Boxes(ds, field, t, 12, start);
}

}  // namespace

std::string PadLeft(std::string_view text, int width, char padChar, bool keepLonger) {
  if (padChar == '\0') return std::string(text);
  if (keepLonger && static_cast<int>(text.size()) > width) return std::string(text);
  std::string s(text);
  if (static_cast<int>(s.size()) < width)
    s.insert(0, static_cast<size_t>(width) - s.size(), padChar);
  return s.substr(0, static_cast<size_t>(std::max(width, 0)));
}

int PosOfOccurrence(std::string_view sub, std::string_view text, int n) {
  if (n == 0) n = 999999;
  if (n < 0 || sub.empty()) return 0;
  const std::string hay = platform::AnsiUpperCase(TrimRight(text));
  const std::string needle = platform::AnsiUpperCase(sub);
  int total = 0, found = 0;
  size_t from = 0;
  while (found < n) {
    const size_t at = hay.find(needle, from);
    if (at == std::string::npos) break;
    total = static_cast<int>(at) + 1;
    ++found;
    from = at + 1;
  }
  return total;
}

void M_X113CalcFields(MemDataset& ds, TraceWriter* trace) {
  if (trace) trace->WriteLog("TFTiskform.M_X113CalcFields: 28 - Z");
  Set(ds, "JmenoVystavitele", Text(ds, "C_Birt_Nam"));
  Set(ds, "PrijmeniJmenoZP",
      Chars(Trim(Text(ds, "C_Name_Sur")) + " " + Trim(Text(ds, "C_Name_Fir")) +
                Trim(Text(ds, "C_Name_Tit")),
            1, 40));
  const std::string street = Text(ds, "Comp_Str");
  if (!street.empty())
    Set(ds, "SidloZamestnavatele",
        street + " " + Text(ds, "Comp_Num") + ", " + Text(ds, "Comp_Pnu") + " " +
            Text(ds, "Comp_Cit"));
  else
    Set(ds, "SidloZamestnavatele",
        Text(ds, "Comp_Pnu") + " " + Text(ds, "Comp_Cit") + " " + Text(ds, "Comp_Num"));
  const std::string from = Text(ds, "CFro");
  Set(ds, "ZmDenZP", Chars(from, 9, 10));
  Set(ds, "ZmMesZP", Chars(from, 6, 7));
  Set(ds, "ZmRokZP", Chars(from, 1, 4));
  Set(ds, "CisloPoj", Text(ds, "C_Bno"));
  Set(ds, "Kod", Chars(Text(ds, "Comp_VS"), 1, 1));
  Set(ds, "RokNar", Text(ds, "Sqnr"));
  if (trace) trace->WriteLog("TFTiskform.M_X113CalcFields: 29 - K");
}

void M_VPCalcFields(MemDataset& ds) {
  Set(ds, "OsobaCela", Text(ds, "Osoba") + " " + Text(ds, "PoradiPP"));
}

void M_CSSZCalcFields(MemDataset& ds) {
  ds.FieldByName("VyrPocDny")
      .SetAsCurrency(int64_t{ds.FieldByName("VyrPocPrip").AsInteger()} * 10000);
  Set(ds, "KontaktniPracovnik", Text(ds, "CSSZJmeno") + " " + Text(ds, "CSSZPrij"));
}

void M_NDCSSZCalcFields(MemDataset& ds) {
  Set(ds, "KontaktniPracovnik", Text(ds, "CSSZJmeno") + " " + Text(ds, "CSSZPrij"));
}

void M_ZPCalcFields(MemDataset& ds) {
  Boxes(ds, "PocetZ", PadLeft(Text(ds, "PocetZ"), 6, '0', false), 6);
  const std::string s = TrimRight(Text(ds, "Ulice"));
  if (s.empty()) return;
  const char last = s.back();
  if (last < '0' || last > '9') {
    Set(ds, "UliceBezCPV", platform::AnsiUpperCase(s));
    Set(ds, "CP", "     ");
  } else {
    const int k = PosOfOccurrence(" ", s, 0);
    Set(ds, "UliceBezCPV", platform::AnsiUpperCase(Chars(s, 1, k - 1)));
    Set(ds, "CP", Chars(s, k + 1, static_cast<int>(s.size())));
  }
  Boxes(ds, "CP", PadLeft(Text(ds, "CP"), 4, ' ', false), 4);
  Boxes(ds, "CisloO", PadLeft(Text(ds, "CisloO"), 3, ' ', false), 3);
  const std::string phone = Text(ds, "Telefon1");
  int box = 0;
  for (size_t i = 0; i < phone.size() && i < 30 && box < 9; ++i) {
    if (phone[i] == ' ') continue;
    ++box;
    Set(ds, "Telefon0" + std::to_string(box), std::string(1, phone[i]));
  }
  Boxes(ds, "ICO", PadLeft(Text(ds, "ICO"), 10, '0', false), 10);
  AmountBoxes(ds, "Zaklad");
  AmountBoxes(ds, "Odvod");
}

}  // namespace forms
